// Small building blocks for synthesised sounds: mono float signals in -1..1 at a given
// rate, turned into 16-bit clips. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/wave_io/wave_io.h"

using Signal = std::vector<float>;

// A sine at frequency Hz; a whole number of cycles per second keeps 1 s loops seamless.
Signal Sine(double frequency, double seconds, int rate);
// A sine sweeping linearly from one frequency to another.
Signal Sweep(double from, double to, double seconds, int rate);
// White noise from a fixed seed, smoothed by a one-pole low-pass (0 < smoothing < 1).
// Circular: the filter runs round the loop twice, so the end joins the start.
Signal LoopNoise(std::uint32_t seed, double smoothing, double seconds, int rate);
// An envelope of count swells at seeded times in the first half of the signal, each
// rising over attack seconds and dying away over decay seconds; peak 1.
Signal Rolls(std::uint32_t seed, int count, double attack, double decay, double seconds,
             int rate);
// Adds count raindrops (short high pings at seeded places, wrapping round the end, so a
// loop stays a loop).
void AddDrops(Signal& signal, std::uint32_t seed, int count, int rate);

// Adds b (scaled) onto a, as long as a.
void Mix(Signal& a, const Signal& b, float scale);
// Multiplies sample by sample (as long as the shorter of the two).
void Shape(Signal& signal, const Signal& envelope);
// Multiplies by an exponential decay of the given time constant.
void Decay(Signal& signal, double timeConstant, int rate);
// Short fades at both ends so one-shots start and end without a click.
void FadeEnds(Signal& signal, double seconds, int rate);
// Scales so the largest magnitude is peak.
void Normalize(Signal& signal, float peak);

// 16-bit samples as floats in -1..1.
Signal FromPcm(const std::vector<std::int16_t>& samples);

Clip MonoClip(const Signal& signal, int rate);
// A one-shot: faded in and out over a few milliseconds (no click), scaled to peak.
Clip OneShotClip(Signal signal, int rate, float peak);
// Two channels, the second delayed by half the signal (a loop stays a loop).
Clip WideClip(const Signal& signal, int rate);

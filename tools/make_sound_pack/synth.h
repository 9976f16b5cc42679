// Small building blocks for synthesised sounds: mono float signals in -1..1 at a given
// rate, turned into 16-bit clips. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <vector>

using Signal = std::vector<float>;

struct Clip {
  int rate = 22050;
  int channels = 1;
  std::vector<std::int16_t> samples;  // interleaved
};

// A sine at frequency Hz; a whole number of cycles per second keeps 1 s loops seamless.
Signal Sine(double frequency, double seconds, int rate);
// A sine sweeping linearly from one frequency to another.
Signal Sweep(double from, double to, double seconds, int rate);
// White noise from a fixed seed, smoothed by a one-pole low-pass (0 < smoothing < 1).
// Circular: the filter runs round the loop twice, so the end joins the start.
Signal LoopNoise(std::uint32_t seed, double smoothing, double seconds, int rate);

// Adds b (scaled) onto a, as long as a.
void Mix(Signal& a, const Signal& b, float scale);
// Multiplies by an exponential decay of the given time constant.
void Decay(Signal& signal, double timeConstant, int rate);
// Short fades at both ends so one-shots start and end without a click.
void FadeEnds(Signal& signal, double seconds, int rate);
// Scales so the largest magnitude is peak.
void Normalize(Signal& signal, float peak);

Clip MonoClip(const Signal& signal, int rate);
// Two channels, the second delayed by half the signal (a loop stays a loop).
Clip WideClip(const Signal& signal, int rate);

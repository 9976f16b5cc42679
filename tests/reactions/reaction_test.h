// The stage for reaction tests: the whole sound bank and the ship sound files loaded on
// the recording sound device, the sounds ready, a dialog window that runs the close
// path at once, recorded message boxes, and the sound trace to read what was played.
// Test thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "reactions/event_packet.h"
#include "tests/dialog/dialog_fakes.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/traced_sounds.h"

class ReactionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Handles one event packet as the link delivers it.
  static void Event(std::uint8_t code, std::uint8_t index, float a, float b = 0.0f, float c = 0.0f,
                    float d = 0.0f);
  static void ShipEvent(float subCode, float b = 0.0f, float c = 0.0f, float d = 0.0f, std::uint8_t index = 0);
  // The status log lines appended since the last call, oldest first.
  std::vector<std::string> NewLines();
  // The files played since the last call, in order.
  std::vector<std::string> NewPlays();
  // The operations ("play x.wav", "stop y.wav") since the last call.
  std::vector<std::string> NewOps();

  ScratchFolder folder;
  FakeWindow window;
  RecordingMessageBoxes boxes;
  std::optional<TracedSounds> trace;

 private:
  std::size_t linesSeen_ = 0;
};

// The module as it runs after "Ready!", for fuzzing and stress: the whole sound bank
// and the ship sounds on the recording sound device in a scratch folder, a dialog
// window that runs the dialog procedure at once and keeps nothing it is posted, and
// message boxes answered OK and forgotten. Construction, Ready and destruction: one
// thread at a time; the window may be used from any thread.
#pragma once

#include <cstdint>

#include "app/dialog_window.h"
#include "tests/dialog/dialog_fakes.h"
#include "tests/support/scratch_folder.h"

class ModuleStage {
 public:
  static constexpr std::uint8_t kShipType = 3;

  ModuleStage();
  ~ModuleStage();
  ModuleStage(const ModuleStage&) = delete;
  ModuleStage& operator=(const ModuleStage&) = delete;

  // Back to running: every value as the process starts it, then the stage past
  // "Ready!", the ship sounds of kShipType in place, and slots 0 to players - 1 active
  // around the own slot 0.
  void Ready(int players);
  HWND Window() { return &window_; }

 private:
  // Posts (the log's refresh requests) and end codes are dropped, so nothing grows
  // with the run.
  class StageWindow : public FakeWindow {
   public:
    void Post(unsigned, std::uintptr_t, std::intptr_t) override {}
    void End(int) override {}
  };
  class ForgottenBoxes : public MessageBoxPresenter {
   public:
    int Show(HWND, std::string_view, std::string_view, unsigned) override { return IDOK; }
  };

  ScratchFolder folder_;
  StageWindow window_;
  ForgottenBoxes boxes_;
};

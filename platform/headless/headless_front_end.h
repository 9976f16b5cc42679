// The front end without a display: status lines on stdout, message boxes on stderr
// (answered OK at once), "[end] <code>" on stderr when the dialog ends, and clicks read
// from an input stream (one control id per line). The dialog counts as active.
// RunDialog: main thread.
#pragma once

#include <istream>
#include <memory>

#include "app/front_end.h"

class HeadlessFrontEnd : public FrontEnd {
 public:
  // The input is read on a thread of its own from the start, until its end.
  explicit HeadlessFrontEnd(std::shared_ptr<std::istream> input, void (*onActivation)(bool active));
  int RunDialog(DialogProcedure procedure) override;

 private:
  std::shared_ptr<std::istream> input_;
  void (*onActivation_)(bool active);
};

// Standard input, for the front end to read.
std::shared_ptr<std::istream> StandardInput();

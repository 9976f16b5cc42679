#include "platform/headless/headless_front_end.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "app/message_box.h"
#include "app/status_log.h"
#include "platform/headless/headless_window.h"

namespace {

void PrintStatusLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// A whole line of decimal digits (an optional carriage return aside), or nothing.
bool ParseControlId(std::string_view line, int& id) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), id);
  return error == std::errc() && end == line.data() + line.size() && !line.empty();
}

// The reader may outlive the dialog: it keeps the window and the input alive and
// stops mattering once the loop has quit (posts are dropped then).
void StartInputReader(std::shared_ptr<std::istream> input, std::shared_ptr<HeadlessWindow> window) {
  std::thread([input, window] {
    std::string line;
    while (std::getline(*input, line)) {
      int id = 0;
      if (ParseControlId(line, id)) {
        window->PostClick(id);
      }
    }
  }).detach();
}

}  // namespace

HeadlessFrontEnd::HeadlessFrontEnd(std::shared_ptr<std::istream> input, void (*onActivation)(bool active))
    : input_(std::move(input)), onActivation_(onActivation) {}

int HeadlessFrontEnd::RunDialog(DialogProcedure procedure) {
  SetStatusLineObserver(PrintStatusLine);
  SetMessageBoxPresenter(nullptr);
  if (onActivation_ != nullptr) {
    onActivation_(true);
  }
  auto loop = std::make_shared<MessageLoop>();
  auto window = std::make_shared<HeadlessWindow>(loop, procedure);
  // The dialog opens before the first click can arrive.
  loop->Post([window = window.get(), procedure] { procedure(window, WM_INITDIALOG, 0, 0); });
  StartInputReader(input_, window);
  loop->Run();
  const int code = window->Result();
  std::fprintf(stderr, "[end] %d\n", code);
  std::fflush(stderr);
  procedure(window.get(), WM_DESTROY, 0, 0);
  return code;
}

std::shared_ptr<std::istream> StandardInput() {
  return std::shared_ptr<std::istream>(&std::cin, [](std::istream*) {});
}

#include "platform/headless/headless_front_end.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "app/line_assembler.h"
#include "app/message_box.h"
#include "app/status_log.h"
#include "platform/headless/headless_window.h"

namespace {

// Called under the log's lock, so the flag needs no lock of its own.
bool stdoutLost = false;

// One write per line: the process end flushes stdout between two writes, never inside
// one, so the output ends on a whole line.
void PrintStatusLine(std::string_view line) {
  const std::string whole = std::string(line) + '\n';
  std::fwrite(whole.data(), 1, whole.size(), stdout);
  if (std::fflush(stdout) != 0 && !stdoutLost) {
    stdoutLost = true;
    std::fputs("soundmodule: stdout is closed; the status log goes on without it\n", stderr);
    std::fflush(stderr);
  }
}

// A whole line of decimal digits (an optional carriage return aside), or nothing.
bool ParseControlId(std::string_view line, int& id) {
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), id);
  return error == std::errc() && end == line.data() + line.size() && !line.empty();
}

// A control id is a few digits; longer lines are no click, and are not kept.
constexpr std::size_t kLongestLine = 64;
constexpr std::size_t kPiece = 256;

// The reader may outlive the dialog: it keeps the window and the input alive and
// stops mattering once the loop has quit (posts are dropped then).
void StartInputReader(std::shared_ptr<std::istream> input, std::shared_ptr<HeadlessWindow> window) {
  std::thread([input, window] {
    bool open = true;
    const auto click = [&window, &open](const std::string& line) {
      int id = 0;
      if (open && ParseControlId(line, id)) {
        open = window->SendClick(id);
      }
    };
    LineAssembler lines(kLongestLine);
    std::string piece;
    for (char c = 0; open && input->get(c);) {
      piece.push_back(c);
      if (c == '\n' || piece.size() == kPiece) {
        lines.Feed(piece, click);
        piece.clear();
      }
    }
    piece.push_back('\n');  // a last line without its break still counts
    lines.Feed(piece, click);
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

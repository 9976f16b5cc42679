#include "tools/console_sim/typed_input.h"

#include <poll.h>
#include <unistd.h>

#include <array>

#include "app/line_assembler.h"

namespace console_sim {

namespace {
constexpr int kPollMs = 100;  // how soon the reader notices that it should stop
constexpr std::size_t kLongestLine = 4096;  // far above any packet line a person types
}  // namespace

TypedInput::TypedInput(std::function<void(const std::string&)> onLine)
    : onLine_(std::move(onLine)), reader_([this] { Run(); }) {}

TypedInput::~TypedInput() {
  stop_ = true;
  reader_.join();
}

void TypedInput::Run() {
  LineAssembler lines(kLongestLine);
  std::array<char, 4096> buffer{};
  while (!stop_) {
    pollfd entry{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&entry, 1, kPollMs);
    if (ready <= 0) {
      continue;
    }
    const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (got <= 0) {
      return;  // end of input: nothing more will be typed
    }
    lines.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)), onLine_);
  }
}

}  // namespace console_sim

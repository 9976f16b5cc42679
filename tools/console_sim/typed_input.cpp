#include "tools/console_sim/typed_input.h"

#include <poll.h>
#include <unistd.h>

#include <array>

namespace console_sim {

namespace {
constexpr int kPollMs = 100;  // how soon the reader notices that it should stop
}  // namespace

TypedInput::TypedInput(std::function<void(const std::string&)> onLine)
    : onLine_(std::move(onLine)), reader_([this] { Run(); }) {}

TypedInput::~TypedInput() {
  stop_ = true;
  reader_.join();
}

void TypedInput::Run() {
  std::string pending;
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
    pending.append(buffer.data(), static_cast<std::size_t>(got));
    for (std::size_t newline; (newline = pending.find('\n')) != std::string::npos;) {
      onLine_(pending.substr(0, newline));
      pending.erase(0, newline + 1);
    }
  }
}

}  // namespace console_sim

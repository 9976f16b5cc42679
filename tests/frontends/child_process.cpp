#include "tests/frontends/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder, Output output) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  if (output == Output::Capture) {
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<char*> argv = Argv(program, arguments);
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    pid_ = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  input_ = in[1];
  output_ = out[0];
  errors_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {input_, output_, errors_}) {
    if (fd >= 0) {
      close(fd);
    }
  }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::steady_clock::time_point deadline) {
  while (true) {
    if (const auto end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    pollfd ready{output_, POLLIN, 0};
    if (poll(&ready, 1, RemainingMs(deadline)) <= 0) {
      return std::nullopt;
    }
    char buffer[4096];
    const ssize_t count = read(output_, buffer, sizeof buffer);
    if (count <= 0) {
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<std::size_t>(count));
  }
}

std::optional<int> ChildProcess::Wait(std::chrono::steady_clock::time_point deadline) {
  while (pid_ > 0) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
    }
    if (RemainingMs(deadline) == 0) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

std::string ChildProcess::ErrorOutput() {
  std::string text;
  char buffer[4096];
  pollfd ready{errors_, POLLIN, 0};
  while (poll(&ready, 1, 0) > 0) {
    const ssize_t count = read(errors_, buffer, sizeof buffer);
    if (count <= 0) {
      break;
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
  return text;
}

bool ChildProcess::WriteInput(std::string_view bytes) {
  // A child that has gone must fail the write, not end the test.
  static const bool pipeSignalIgnored = signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)pipeSignalIgnored;
  while (!bytes.empty()) {
    const ssize_t written = write(input_, bytes.data(), bytes.size());
    if (written <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void ChildProcess::CloseInput() {
  close(input_);
  input_ = -1;
}

void ChildProcess::CloseOutput() {
  close(output_);
  output_ = -1;
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0) {
    kill(pid_, signal);
  }
}

int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder, std::vector<std::string>* lines) {
  ChildProcess child(program, arguments, folder);
  while (const auto line = child.ReadLine(std::chrono::steady_clock::now() + std::chrono::seconds(60))) {
    if (lines) lines->push_back(*line);
  }
  return child.Wait(std::chrono::steady_clock::now() + std::chrono::seconds(60)).value_or(-1);
}

std::vector<ListeningSocket> ListeningSockets() {
  std::vector<ListeningSocket> sockets;
  // A TCP socket listens in state 0A; a UDP socket that takes datagrams from anyone is
  // unconnected, state 07.
  const std::pair<const char*, const char*> tables[] = {
      {"/proc/net/tcp", "0A"}, {"/proc/net/tcp6", "0A"}, {"/proc/net/udp", "07"}, {"/proc/net/udp6", "07"}};
  for (const auto& [path, listening] : tables) {
    std::ifstream table(path);
    std::string line;
    std::getline(table, line);  // the column names
    while (std::getline(table, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
      const std::size_t colon = local.rfind(':');
      if (state != listening || colon == std::string::npos) continue;
      sockets.push_back({local.substr(0, colon), std::stoi(local.substr(colon + 1), nullptr, 16), inode});
    }
  }
  return sockets;
}

bool PortListening(int port) {
  const auto sockets = ListeningSockets();
  return std::any_of(sockets.begin(), sockets.end(), [port](const ListeningSocket& socket) {
    return socket.port == port && socket.address == "0100007F";
  });
}

bool ChildProcess::HoldsSocket(const std::string& inode) const {
  const std::string wanted = "socket:[" + inode + "]";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", error)) {
    if (std::filesystem::read_symlink(entry.path(), error).string() == wanted) return true;
  }
  return false;
}

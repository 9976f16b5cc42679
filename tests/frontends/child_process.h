// Programs run as child processes for the end-to-end tests: started in a folder, their
// stdout and stderr read line by line with a deadline. Test thread.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ChildProcess {
 public:
  enum class Output { Capture, Discard };
  // Starts program with arguments in folder; stdin is an open, silent pipe. Discarded
  // output can never fill a pipe that nobody reads.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& folder, Output output = Output::Capture);
  ~ChildProcess();  // kills the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next stdout line, or nothing when the deadline passes or stdout ends first.
  std::optional<std::string> ReadLine(std::chrono::steady_clock::time_point deadline);
  // Waits for the exit; the exit code, or nothing when it did not exit normally in time.
  std::optional<int> Wait(std::chrono::steady_clock::time_point deadline);
  // Everything written to stderr so far (read once the child has exited).
  std::string ErrorOutput();
  // The child's process id, for reading what the system says about it.
  pid_t Pid() const { return pid_; }

  // For faults: bytes written to the child's stdin (false once it stopped reading), its
  // stdin or stdout closed on our side, a signal sent to it.
  bool WriteInput(std::string_view bytes);
  void CloseInput();
  void CloseOutput();
  void Signal(int signal);
  // Whether one of the child's open files is the socket with this inode.
  bool HoldsSocket(const std::string& inode) const;

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
  std::string pending_;
};

// Runs a program to its end in folder; its exit code (-1 if it failed to run). Its
// stdout lines go to `lines` when given.
int RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& folder, std::vector<std::string>* lines = nullptr);

// Every listening TCP socket and unconnected UDP socket of the machine, IPv4 and IPv6,
// from the kernel's tables:
// the local address as the table writes it (127.0.0.1 is "0100007F"), port and inode.
struct ListeningSocket {
  std::string address;
  int port = 0;
  std::string inode;
};
std::vector<ListeningSocket> ListeningSockets();
// Whether something listens on 127.0.0.1:port.
bool PortListening(int port);

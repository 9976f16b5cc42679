#include "platform/link/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace {

sockaddr_in LoopbackAddress(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// The socket API takes the generic address type.
sockaddr* Generic(sockaddr_in& address) { return reinterpret_cast<sockaddr*>(&address); }

bool Readable(int fd, std::chrono::milliseconds timeout) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(timeout.count())) == 1;
}

// A socket of `type` bound to 127.0.0.1:port, and the port it got.
int BoundSocket(int type, std::uint16_t& port) {
  const int fd = ::socket(AF_INET, type, 0);
  sockaddr_in address = LoopbackAddress(port);
  socklen_t size = sizeof address;
  if (fd < 0 || ::bind(fd, Generic(address), sizeof address) != 0 ||
      ::getsockname(fd, Generic(address), &size) != 0) {
    const int error = errno;
    if (fd >= 0) {
      ::close(fd);
    }
    throw std::system_error(error, std::generic_category(), "loopback socket");
  }
  port = ntohs(address.sin_port);
  return fd;
}

void SetNoDelay(int fd) {
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

std::unique_ptr<LoopbackSocket> LoopbackSocket::Connect(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = LoopbackAddress(port);
  if (fd < 0 || ::connect(fd, Generic(address), sizeof address) != 0) {
    if (fd >= 0) {
      ::close(fd);
    }
    return nullptr;
  }
  return std::make_unique<LoopbackSocket>(fd);
}

LoopbackSocket::LoopbackSocket(int fd) : fd_(fd) { SetNoDelay(fd_); }

LoopbackSocket::~LoopbackSocket() { ::close(fd_); }

bool LoopbackSocket::Write(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) {
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(sent));
  }
  return true;
}

bool LoopbackSocket::Read(std::span<std::uint8_t> out, std::chrono::milliseconds timeout) {
  while (!out.empty()) {
    if (!Readable(fd_, timeout)) {
      return false;
    }
    const ssize_t got = ::recv(fd_, out.data(), out.size(), 0);
    if (got <= 0) {
      return false;
    }
    out = out.subspan(static_cast<std::size_t>(got));
  }
  return true;
}

bool LoopbackSocket::WaitForClose(std::chrono::milliseconds timeout) {
  std::array<std::uint8_t, 4096> sink{};
  while (Readable(fd_, timeout)) {
    if (::recv(fd_, sink.data(), sink.size(), 0) <= 0) {
      return true;
    }
  }
  return false;
}

LoopbackListener::LoopbackListener() {
  fd_ = BoundSocket(SOCK_STREAM, port_);
  if (::listen(fd_, 4) != 0) {
    const int error = errno;
    ::close(fd_);
    throw std::system_error(error, std::generic_category(), "loopback listener");
  }
}

LoopbackListener::~LoopbackListener() { ::close(fd_); }

std::unique_ptr<LoopbackSocket> LoopbackListener::Accept(std::chrono::milliseconds timeout) {
  if (!Readable(fd_, timeout)) {
    return nullptr;
  }
  const int fd = ::accept(fd_, nullptr, nullptr);
  return fd < 0 ? nullptr : std::make_unique<LoopbackSocket>(fd);
}

LoopbackUdpSocket::LoopbackUdpSocket(std::uint16_t port) : port_(port) {
  fd_ = BoundSocket(SOCK_DGRAM, port_);
}

LoopbackUdpSocket::~LoopbackUdpSocket() { ::close(fd_); }

bool LoopbackUdpSocket::SendTo(std::uint16_t port, std::span<const std::uint8_t> datagram) {
  sockaddr_in address = LoopbackAddress(port);
  return ::sendto(fd_, datagram.data(), datagram.size(), 0, Generic(address), sizeof address) ==
         static_cast<ssize_t>(datagram.size());
}

std::optional<std::uint16_t> LoopbackUdpSocket::Receive(std::vector<std::uint8_t>& out,
                                                        std::chrono::milliseconds timeout) {
  if (!Readable(fd_, timeout)) {
    return std::nullopt;
  }
  out.resize(65536);
  sockaddr_in sender{};
  socklen_t size = sizeof sender;
  const ssize_t got = ::recvfrom(fd_, out.data(), out.size(), 0, Generic(sender), &size);
  if (got < 0) {
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(got));
  return ntohs(sender.sin_port);
}

#include "platform/link/frame_connection.h"

#include <cstring>
#include <utility>

namespace {
// Room for one whole frame plus the start of the next, so a read never waits for space.
constexpr std::size_t kReadBufferSize = 2 * link_wire::kMaxFrameSize;
}  // namespace

std::shared_ptr<FrameConnection> FrameConnection::Create(asio::ip::tcp::socket socket) {
  return std::shared_ptr<FrameConnection>(new FrameConnection(std::move(socket)));
}

FrameConnection::FrameConnection(asio::ip::tcp::socket socket)
    : socket_(std::move(socket)), readBuffer_(kReadBufferSize) {
  asio::error_code ignored;
  socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
}

void FrameConnection::Start(Callbacks callbacks) {
  asio::post(socket_.get_executor(), [self = shared_from_this(), callbacks = std::move(callbacks)] {
    self->callbacks_ = callbacks;
    self->ReadNext();
  });
}

void FrameConnection::Write(link_wire::FrameType type, std::span<const std::uint8_t> body) {
  Queue(link_wire::EncodeFrame(type, body));
}

void FrameConnection::WriteRaw(std::span<const std::uint8_t> bytes) {
  Queue(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void FrameConnection::CloseAfterWrites() {
  asio::post(socket_.get_executor(), [self = shared_from_this()] {
    self->closeAfterWrites_ = true;
    if (!self->writing_) {
      self->Shut(CloseCause::kLocal);
    }
  });
}

void FrameConnection::Close() {
  asio::post(socket_.get_executor(),
             [self = shared_from_this()] { self->Shut(CloseCause::kLocal); });
}

void FrameConnection::Queue(std::vector<std::uint8_t> bytes) {
  asio::post(socket_.get_executor(), [self = shared_from_this(), bytes = std::move(bytes)] {
    if (self->closed_) {
      return;
    }
    self->pending_.insert(self->pending_.end(), bytes.begin(), bytes.end());
    if (!self->writing_) {
      self->WriteNext();
    }
  });
}

// Everything queued while a write was in flight goes out in the next single write.
void FrameConnection::WriteNext() {
  if (closed_) {
    return;
  }
  if (pending_.empty()) {
    writing_ = false;
    if (closeAfterWrites_) {
      Shut(CloseCause::kLocal);
    }
    return;
  }
  writing_ = true;
  inFlight_.swap(pending_);
  pending_.clear();
  asio::async_write(socket_, asio::buffer(inFlight_),
                    [self = shared_from_this()](const asio::error_code& error, std::size_t) {
                      if (error) {
                        self->Shut(CloseCause::kPeerLeft);
                        return;
                      }
                      self->WriteNext();
                    });
}

void FrameConnection::ReadNext() {
  if (closed_) {
    return;
  }
  socket_.async_read_some(
      asio::buffer(readBuffer_.data() + filled_, readBuffer_.size() - filled_),
      [self = shared_from_this()](const asio::error_code& error, std::size_t bytes) {
        if (error) {
          self->Shut(CloseCause::kPeerLeft);
          return;
        }
        self->OnRead(bytes);
      });
}

void FrameConnection::OnRead(std::size_t bytes) {
  filled_ += bytes;
  if (DeliverFrames()) {
    ReadNext();
  }
}

bool FrameConnection::DeliverFrames() {
  std::size_t offset = 0;
  while (!closed_) {
    const auto unread = std::span<const std::uint8_t>(readBuffer_).subspan(offset, filled_ - offset);
    const link_wire::ParseResult parsed = link_wire::ParseFrame(unread);
    if (parsed.status == link_wire::ParseStatus::kIncomplete) {
      break;
    }
    if (parsed.status == link_wire::ParseStatus::kBroken) {
      Shut(CloseCause::kBroken);
      return false;
    }
    offset += parsed.consumed;
    const Verdict verdict = callbacks_.onFrame(parsed.frame);
    if (verdict != Verdict::kContinue) {
      Shut(verdict == Verdict::kStop ? CloseCause::kStopped : CloseCause::kBroken);
      return false;
    }
  }
  if (closed_) {
    return false;
  }
  std::memmove(readBuffer_.data(), readBuffer_.data() + offset, filled_ - offset);
  filled_ -= offset;
  return true;
}

void FrameConnection::Shut(CloseCause cause) {
  if (closed_) {
    return;
  }
  closed_ = true;
  asio::error_code ignored;
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  if (callbacks_.onClose) {
    callbacks_.onClose(cause);
  }
}

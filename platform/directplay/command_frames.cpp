#include "platform/directplay/command_frames.h"

#include "platform/directplay/le_bytes.h"

namespace dpnet {

namespace {

constexpr std::size_t kConnectSize = 16;
constexpr std::size_t kSignedConnectSize = 48;
constexpr std::size_t kSackHeaderSize = 12;
// bFlags: the response bit, then the four mask halves from bit 1 up.
constexpr int kSackMaskShift = 1;
constexpr std::uint8_t kSackKnownFlags = 0x1F;

std::uint8_t CommandByte(bool poll) {
  return poll ? static_cast<std::uint8_t>(kCommandCframe | kCommandPoll) : kCommandCframe;
}

// The first byte must be 0x80 or 0x88; gives whether POLL is set.
bool ReadCommand(ByteReader& reader, Opcode expected, bool& poll) {
  std::uint8_t command = 0;
  std::uint8_t opcode = 0;
  if (!reader.Read(command) || !reader.Read(opcode)) return false;
  if ((command & ~kCommandPoll) != kCommandCframe || opcode != static_cast<std::uint8_t>(expected)) {
    return false;
  }
  poll = (command & kCommandPoll) != 0;
  return true;
}

bool ReadSigning(ByteReader& reader, SigningFields& s) {
  return reader.Read(s.connectSignature) && reader.Read(s.senderSecret) &&
         reader.Read(s.receiverSecret) && reader.Read(s.signingOptions) &&
         reader.Read(s.echoTimestamp);
}

// The sizes each opcode allows: the common 16 bytes, and what may follow them.
bool SizeFits(Opcode opcode, std::size_t size) {
  switch (opcode) {
    case Opcode::kConnect:
    case Opcode::kConnected: return size == kConnectSize;
    case Opcode::kConnectedSigned: return size == kSignedConnectSize;
    case Opcode::kHardDisconnect: return size == kConnectSize || size == kConnectSize + 8;
    case Opcode::kSack: return false;
  }
  return false;
}

}  // namespace

std::vector<std::uint8_t> Encode(const ConnectFrame& frame) {
  std::vector<std::uint8_t> out;
  out.reserve(kSignedConnectSize);
  out.push_back(CommandByte(frame.poll));
  out.push_back(static_cast<std::uint8_t>(frame.opcode));
  out.push_back(frame.messageId);
  out.push_back(frame.responseId);
  PutLittleEndian(out, frame.version);
  PutLittleEndian(out, frame.sessionId);
  PutLittleEndian(out, frame.timestamp);
  if (frame.signing) {
    PutLittleEndian(out, frame.signing->connectSignature);
    PutLittleEndian(out, frame.signing->senderSecret);
    PutLittleEndian(out, frame.signing->receiverSecret);
    PutLittleEndian(out, frame.signing->signingOptions);
    PutLittleEndian(out, frame.signing->echoTimestamp);
  }
  if (frame.signature) PutLittleEndian(out, *frame.signature);
  return out;
}

std::vector<std::uint8_t> Encode(const SackFrame& frame) {
  std::vector<std::uint8_t> out;
  out.reserve(kSackHeaderSize + 16);
  out.push_back(CommandByte(frame.poll));
  out.push_back(static_cast<std::uint8_t>(Opcode::kSack));
  const auto flags = static_cast<std::uint8_t>((frame.response ? kSackFlagResponse : 0) |
                                               (frame.masks.PresenceBits() << kSackMaskShift));
  out.push_back(flags);
  out.push_back(frame.retry);
  out.push_back(frame.nextSend);
  out.push_back(frame.nextReceive);
  PutLittleEndian(out, std::uint16_t{0});
  PutLittleEndian(out, frame.timestamp);
  AppendMasks(out, frame.masks);
  return out;
}

std::optional<ConnectFrame> DecodeConnectFrame(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < 2) return std::nullopt;
  ConnectFrame frame;
  frame.opcode = static_cast<Opcode>(datagram[1]);
  if (!SizeFits(frame.opcode, datagram.size())) return std::nullopt;
  ByteReader reader(datagram);
  if (!ReadCommand(reader, frame.opcode, frame.poll) || !reader.Read(frame.messageId) ||
      !reader.Read(frame.responseId) || !reader.Read(frame.version) ||
      !reader.Read(frame.sessionId) || !reader.Read(frame.timestamp)) {
    return std::nullopt;
  }
  if (frame.opcode == Opcode::kConnectedSigned) {
    frame.signing.emplace();
    if (!ReadSigning(reader, *frame.signing)) return std::nullopt;
  }
  if (reader.Left() == 8) {
    frame.signature.emplace();
    reader.Read(*frame.signature);
  }
  return frame;
}

std::optional<SackFrame> DecodeSackFrame(std::span<const std::uint8_t> datagram) {
  ByteReader reader(datagram);
  SackFrame frame;
  std::uint8_t flags = 0;
  std::uint16_t padding = 0;  // ignored on receipt
  if (!ReadCommand(reader, Opcode::kSack, frame.poll) || !reader.Read(flags) ||
      !reader.Read(frame.retry) || !reader.Read(frame.nextSend) ||
      !reader.Read(frame.nextReceive) || !reader.Read(padding) || !reader.Read(frame.timestamp)) {
    return std::nullopt;
  }
  if ((flags & ~kSackKnownFlags) != 0) return std::nullopt;
  frame.response = (flags & kSackFlagResponse) != 0;
  if (!ReadMasks(reader, static_cast<std::uint8_t>(flags >> kSackMaskShift), frame.masks)) {
    return std::nullopt;
  }
  if (reader.Left() != 0) return std::nullopt;  // no signature on an unsigned link
  return frame;
}

}  // namespace dpnet

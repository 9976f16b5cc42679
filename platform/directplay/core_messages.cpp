// The small core messages: connect failed, acknowledge, terminate, process completion.
#include "platform/directplay/core_messages.h"

#include "platform/directplay/core_wire.h"

namespace dpnet {

namespace {

constexpr std::size_t kTypeSize = 4;

// A message of its type, (offset, size) of one variable field, and that field.
Bytes EncodeWithBlob(Bytes out, std::span<const std::uint8_t> blob) {
  VariableFields fields(out.size() + 8);
  PutField(out, fields.Add(blob));
  fields.AppendTo(out);
  return out;
}

}  // namespace

std::optional<CoreType> PeekCoreType(std::span<const std::uint8_t> message) {
  WireReader reader(message);
  const std::uint32_t type = reader.U32();
  if (!reader.Ok()) return std::nullopt;
  return static_cast<CoreType>(type);
}

std::uint32_t MakeDpnid(std::uint32_t index, std::uint32_t version, const GUID& instance) {
  return ((version << 20) | (index & 0xFFFFFu)) ^ instance.Data1;
}

Bytes Encode(const ConnectFailed& message) {
  Bytes out = StartMessage(CoreType::kConnectFailed);
  PutU32(out, static_cast<std::uint32_t>(message.result));
  return EncodeWithBlob(std::move(out), message.reply);
}

Bytes Encode(const TerminateSession& message) {
  return EncodeWithBlob(StartMessage(CoreType::kTerminateSession), message.data);
}

Bytes Encode(const ProcessCompletionRequest& message) {
  Bytes out = StartMessage(CoreType::kRequestProcessCompletion);
  PutU32(out, message.context);
  out.insert(out.end(), message.payload.begin(), message.payload.end());
  return out;
}

Bytes EncodeAckConnectInfo() { return StartMessage(CoreType::kAckConnectInfo); }

Bytes EncodeProcessCompletion(std::uint32_t context) {
  Bytes out = StartMessage(CoreType::kProcessCompletion);
  PutU32(out, context);
  return out;
}

std::optional<ConnectFailed> DecodeConnectFailed(std::span<const std::uint8_t> message) {
  WireReader reader(message);
  if (!reader.ReadType(CoreType::kConnectFailed)) return std::nullopt;
  ConnectFailed failed;
  failed.result = static_cast<HRESULT>(reader.U32());
  failed.reply = reader.Blob(reader.Field());
  if (!reader.Ok()) return std::nullopt;
  return failed;
}

std::optional<TerminateSession> DecodeTerminateSession(std::span<const std::uint8_t> message) {
  WireReader reader(message);
  if (!reader.ReadType(CoreType::kTerminateSession)) return std::nullopt;
  TerminateSession terminate;
  terminate.data = reader.Blob(reader.Field());
  if (!reader.Ok()) return std::nullopt;
  return terminate;
}

std::optional<ProcessCompletionRequest> DecodeProcessCompletionRequest(
    std::span<const std::uint8_t> message) {
  WireReader reader(message);
  if (!reader.ReadType(CoreType::kRequestProcessCompletion)) return std::nullopt;
  ProcessCompletionRequest request;
  request.context = reader.U32();
  if (!reader.Ok()) return std::nullopt;
  const auto payload = message.subspan(2 * kTypeSize);
  request.payload.assign(payload.begin(), payload.end());
  return request;
}

}  // namespace dpnet

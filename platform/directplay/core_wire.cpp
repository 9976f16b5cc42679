#include "platform/directplay/core_wire.h"

namespace dpnet {

namespace {

// Variable fields are counted from the end of the message type.
constexpr std::size_t kTypeSize = 4;

}  // namespace

Bytes StartMessage(std::uint32_t type) {
  Bytes out;
  PutU32(out, type);
  return out;
}

void PutU32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

void PutGuid(Bytes& out, const GUID& guid) {
  PutU32(out, guid.Data1);
  for (std::uint16_t half : {guid.Data2, guid.Data3}) {
    out.push_back(static_cast<std::uint8_t>(half));
    out.push_back(static_cast<std::uint8_t>(half >> 8));
  }
  out.insert(out.end(), std::begin(guid.Data4), std::end(guid.Data4));
}

void PutField(Bytes& out, FieldRef field) {
  PutU32(out, field.offset);
  PutU32(out, field.size);
}

Bytes WideTextBytes(const std::u16string& text) {
  Bytes bytes;
  if (text.empty()) return bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

Bytes NarrowTextBytes(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  if (!bytes.empty()) bytes.push_back(0);
  return bytes;
}

VariableFields::VariableFields(std::size_t fixedSize) : base_(fixedSize - kTypeSize) {}

FieldRef VariableFields::Add(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  FieldRef field{static_cast<std::uint32_t>(base_ + data_.size()),
                 static_cast<std::uint32_t>(bytes.size())};
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return field;
}

bool WireReader::ReadType(std::uint32_t type) { return U32() == type && ok_; }

void VariableFields::AppendTo(Bytes& out) const {
  out.insert(out.end(), data_.begin(), data_.end());
}

std::uint32_t WireReader::U32() {
  if (!ok_ || message_.size() - position_ < 4) {
    ok_ = false;
    return 0;
  }
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | message_[position_ + static_cast<std::size_t>(i)];
  }
  position_ += 4;
  return value;
}

GUID WireReader::Guid() {
  GUID guid = GUID_NULL;
  guid.Data1 = U32();
  const std::uint32_t middle = U32();
  guid.Data2 = static_cast<std::uint16_t>(middle);
  guid.Data3 = static_cast<std::uint16_t>(middle >> 16);
  for (std::size_t half = 0; half < 2; ++half) {
    const std::uint32_t tail = U32();
    for (std::size_t i = 0; i < 4; ++i) {
      guid.Data4[half * 4 + i] = static_cast<std::uint8_t>(tail >> (8 * i));
    }
  }
  return guid;
}

FieldRef WireReader::Field() {
  FieldRef field;
  field.offset = U32();
  field.size = U32();
  return field;
}

bool WireReader::Holds(std::uint32_t count, std::size_t recordSize) {
  ok_ = ok_ && count <= (message_.size() - position_) / recordSize;
  return ok_;
}

std::span<const std::uint8_t> WireReader::Resolve(FieldRef field) {
  if (field.offset == 0) return {};
  const std::uint64_t end = std::uint64_t{kTypeSize} + field.offset + field.size;
  if (end > message_.size()) {
    ok_ = false;
    return {};
  }
  return message_.subspan(kTypeSize + field.offset, field.size);
}

Bytes WireReader::Blob(FieldRef field) {
  const auto bytes = Resolve(field);
  return Bytes(bytes.begin(), bytes.end());
}

std::u16string WireReader::WideText(FieldRef field) {
  auto bytes = Resolve(field);
  if (bytes.size() % 2 != 0) {
    ok_ = false;
    return {};
  }
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

std::string WireReader::NarrowText(FieldRef field) {
  const auto bytes = Resolve(field);
  std::string text(bytes.begin(), bytes.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace dpnet

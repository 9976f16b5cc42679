// The building blocks of core messages: little-endian numbers and GUIDs, and the
// variable fields that a message points at with an (offset, size) pair counted from the
// end of its first field, the message type. Pure; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "app/platform_types.h"
#include "platform/directplay/reliable_link.h"

namespace dpnet {

// Where a variable field lies; offset 0 means the field is absent.
struct FieldRef {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

// A message so far: its type.
Bytes StartMessage(std::uint32_t type);
void PutU32(Bytes& out, std::uint32_t value);
void PutGuid(Bytes& out, const GUID& guid);
void PutField(Bytes& out, FieldRef field);

// UTF-16LE with its terminating zero; nothing at all for an empty string.
Bytes WideTextBytes(const std::u16string& text);
// Bytes with a terminating zero; nothing at all for an empty string.
Bytes NarrowTextBytes(const std::string& text);

// Collects the variable fields of one message in the order they lie after its fixed
// part, and hands out the reference to each.
class VariableFields {
 public:
  // fixedSize: the size of the message's fixed part, its type included.
  explicit VariableFields(std::size_t fixedSize);
  // An empty field is absent: offset 0, size 0.
  FieldRef Add(std::span<const std::uint8_t> bytes);
  // Appends the fields, in the order they were added, after the fixed part.
  void AppendTo(Bytes& out) const;

 private:
  std::size_t base_;
  Bytes data_;
};

// Reads a message from its start. A read past the end, a field outside the message or
// text of an odd size marks the reader failed and yields zeros or nothing; the decoder
// checks Ok() once at the end.
class WireReader {
 public:
  explicit WireReader(std::span<const std::uint8_t> message) : message_(message) {}

  // Reads the message type; false when it is not `type`.
  bool ReadType(std::uint32_t type);
  std::uint32_t U32();
  GUID Guid();
  FieldRef Field();
  // Whether `count` records of `recordSize` bytes can still follow; marks the reader
  // failed when not, so no one loops or allocates by a claimed count.
  bool Holds(std::uint32_t count, std::size_t recordSize);

  Bytes Blob(FieldRef field);
  std::u16string WideText(FieldRef field);
  std::string NarrowText(FieldRef field);

  bool Ok() const { return ok_; }

 private:
  std::span<const std::uint8_t> Resolve(FieldRef field);

  std::span<const std::uint8_t> message_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace dpnet

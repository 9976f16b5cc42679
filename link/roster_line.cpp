#include "link/roster_line.h"

#include <cctype>

namespace {

// Walks the line field by field; each Take returns false when the field does not have
// its form, and the reading ends there.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : rest_(text) {}

  bool TakeText(std::string_view* field) {
    const std::size_t length = rest_.find(',');
    const std::size_t taken = length == std::string_view::npos ? rest_.size() : length;
    if (taken == 0) return false;
    *field = rest_.substr(0, taken);
    rest_.remove_prefix(taken);
    return true;
  }

  bool TakeNumber(std::uint32_t* number) {
    while (!rest_.empty() && std::isspace(static_cast<unsigned char>(rest_.front()))) rest_.remove_prefix(1);
    const bool negative = !rest_.empty() && rest_.front() == '-';
    if (!rest_.empty() && (rest_.front() == '-' || rest_.front() == '+')) rest_.remove_prefix(1);
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; digits < rest_.size() && std::isdigit(static_cast<unsigned char>(rest_[digits])); ++digits) {
      value = value * 10u + static_cast<std::uint32_t>(rest_[digits] - '0');
    }
    if (digits == 0) return false;
    rest_.remove_prefix(digits);
    *number = negative ? 0u - value : value;
    return true;
  }

  bool TakeComma() {
    if (rest_.empty() || rest_.front() != ',') return false;
    rest_.remove_prefix(1);
    return true;
  }

 private:
  std::string_view rest_;
};

}  // namespace

RosterLine ParseRosterLine(std::string_view text) {
  RosterLine line;
  FieldReader reader(text);
  std::string_view unusedText;
  std::uint32_t unusedNumber = 0;
  if (!reader.TakeText(&line.ivr) || !reader.TakeComma() || !reader.TakeText(&unusedText) ||
      !reader.TakeComma() || !reader.TakeNumber(&line.shipType)) {
    return line;
  }
  for (int field = 4; field <= 7; ++field) {
    if (!reader.TakeComma() || !reader.TakeNumber(&unusedNumber)) return line;
  }
  if (reader.TakeComma()) reader.TakeNumber(&line.objectId);
  return line;
}

#include "tools/flight_picture/log_marks.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

std::optional<LogMark> MarkOf(const std::string& line) {
  double milliseconds = 0.0;
  const char* end = line.data() + line.size();
  const auto [rest, error] = std::from_chars(line.data(), end, milliseconds);
  if (error != std::errc() || !std::isfinite(milliseconds)) return std::nullopt;
  if (rest != end && *rest != ' ') return std::nullopt;
  std::string text(rest == end ? rest : rest + 1, end);
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return LogMark{milliseconds / 1000.0, std::move(text)};
}

}  // namespace

LogMarks ParseLog(std::istream& in) { return ReadLineRecords<LogMark>(in, MarkOf); }

std::string Abbreviated(const std::string& text, std::size_t maxChars) {
  if (text.size() <= maxChars) return text;
  return text.substr(0, maxChars > 3 ? maxChars - 3 : 0) + "...";
}

#include "tools/console_sim/scenario_tokens.h"

#include <charconv>
#include <cmath>

namespace console_sim {

std::optional<std::vector<std::string>> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : line) {
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == '#') {
      break;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      if (inWord) {
        words.push_back(std::move(word));
        word.clear();
        inWord = false;
      }
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) {
    return std::nullopt;
  }
  if (inWord) {
    words.push_back(std::move(word));
  }
  return words;
}

std::optional<std::int64_t> ReadInteger(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> ReadNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::vector<float>> ReadVector(std::string_view text) {
  std::vector<float> values;
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::optional<double> value = ReadNumber(text.substr(0, comma));
    if (!value) {
      return std::nullopt;
    }
    values.push_back(static_cast<float>(*value));
    if (comma == std::string_view::npos) {
      break;
    }
    text.remove_prefix(comma + 1);
  }
  if (values.size() != 3) {
    return std::nullopt;
  }
  return values;
}

std::optional<std::vector<std::uint8_t>> ReadHex(std::string_view text) {
  if (text.empty() || text.size() % 2 != 0) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    std::uint8_t byte = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
    if (error != std::errc() || end != text.data() + i + 2) {
      return std::nullopt;
    }
    bytes.push_back(byte);
  }
  return bytes;
}

}  // namespace console_sim

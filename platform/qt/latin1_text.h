// The module's single-byte texts (captions, log lines, box texts) as Qt strings.
// Pure; any thread.
#pragma once

#include <string_view>

#include <QString>

inline QString Latin1Text(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

#include "audio/sound_path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::string BaseName(const std::string& fileName) {
  const auto slash = fileName.find_last_of("\\/");
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string ForwardSlashes(const std::string& fileName) {
  std::string path = fileName;
  std::ranges::replace(path, '\\', '/');
  return path;
}

std::string ResolveSoundPath(const std::string& fileName) {
  const std::string path = ForwardSlashes(fileName);
  std::error_code error;
  const std::filesystem::path exact(path);
  if (std::filesystem::is_regular_file(exact, error)) return path;

  const std::string wanted = BaseName(path);
  const std::filesystem::path folder = exact.has_parent_path() ? exact.parent_path() : ".";
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return path;
  std::string match;
  int matches = 0;
  for (const auto& entry : entries) {
    if (SameIgnoringCase(entry.path().filename().string(), wanted) &&
        entry.is_regular_file(error)) {
      match = entry.path().string();
      ++matches;
    }
  }
  return matches == 1 ? match : path;
}

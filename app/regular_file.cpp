#include "app/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRegularFile(const std::string& path, std::uint64_t* size) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) return -1;
  struct stat status {};
  if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    ::close(file);
    return -1;
  }
  *size = static_cast<std::uint64_t>(status.st_size);
  return file;
}

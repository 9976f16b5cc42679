// make-sound-pack DIR: writes DIR/universe.dat and DIR/Sounds/ for the sound module.
#include <cstdio>
#include <cstring>

#include "tools/make_sound_pack/sound_pack.h"

namespace {

// What --help prints; the manual page is made from it (help2man).
constexpr const char* kHelp =
    "Usage: make-sound-pack DIR\n"
    "Writes DIR/universe.dat and DIR/Sounds/ with every file the sound module loads, as\n"
    "RIFF WAVE files, the same bytes on every run; the onboard phrases are spoken by\n"
    "espeak-ng. Prints one progress line per group of files. Exits with 1 when a file\n"
    "cannot be written or espeak-ng is missing, with 2 for a wrong command line.\n"
    "\n"
    "  --help   show this help and exit\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sound-pack DIR\n");
    return 2;
  }
  return WriteSoundPack(argv[1], SoundPackOptions{}) ? 0 : 1;
}

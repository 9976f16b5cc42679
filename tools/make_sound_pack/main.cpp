// make-sound-pack DIR: writes DIR/universe.dat and DIR/Sounds/ for the sound module.
#include <cstdio>

#include "tools/make_sound_pack/sound_pack.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-sound-pack DIR\n");
    return 2;
  }
  return WriteSoundPack(argv[1], SoundPackOptions{}) ? 0 : 1;
}

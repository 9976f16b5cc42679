#include "bench/support/full_world_main.h"

#include "bench/support/mixer_stage.h"
#include "platform/audio/offline_output.h"

int RunInFullWorld(int argc, char** argv, void (*print)(const FigureReporter& reporter),
                   void (*prepare)()) {
  UseOfflineSoundDevice();
  MixerStage stage;
  if (!stage.Ready()) return 1;
  FillWorld();
  if (prepare != nullptr) prepare();
  FigureReporter reporter;
  if (!RunBenchmarks(argc, argv, reporter)) return 2;
  print(reporter);
  return 0;
}

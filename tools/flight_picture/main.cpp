// flight-picture: a PNG of what sounded when during a run of the module. Runs without a
// display: the painting needs only Qt's offscreen platform.
#include <cstdio>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "tools/flight_picture/make_picture.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments == std::vector<std::string>{"--help"}) {
    std::fputs(PictureUsage().c_str(), stdout);
    return 0;
  }
  std::string error;
  const std::optional<PictureOptions> options = ParsePictureOptions(arguments, &error);
  if (!options) {
    std::fprintf(stderr, "flight-picture: %s\n%s", error.c_str(), PictureUsage().c_str());
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  return MakeFlightPicture(*options);
}

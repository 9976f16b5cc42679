// Qt's libraries are not built for the thread sanitizer: the hand-overs inside them
// (their thread pool, their event queue) are invisible to it. Our own hand-overs go
// through standard mutexes, which it does see.
extern "C" const char* __tsan_default_suppressions();

extern "C" const char* __tsan_default_suppressions() {
  return "race:libQt6Core.so\n"
         "race:libQt6Gui.so\n"
         "race:libQt6Widgets.so\n";
}

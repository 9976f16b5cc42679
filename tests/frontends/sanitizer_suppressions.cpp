// Reports from libraries outside the project that the sanitizers cannot judge.
// Qt's libraries are not built for the thread sanitizer: the hand-overs inside them
// (their thread pool, their event queue) are invisible to it; our own hand-overs go
// through standard mutexes, which it does see. Fontconfig keeps a cache for the life of
// the process, which the leak checker counts as lost.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __tsan_default_suppressions() {
  return "race:libQt6Core.so\n"
         "race:libQt6Gui.so\n"
         "race:libQt6Widgets.so\n";
}

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

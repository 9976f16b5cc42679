# Warnings for every target of the project; CI builds with SOUNDMODULE_WERROR=ON.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wimplicit-fallthrough
  # -Wformat=2: a format string that is not a literal is an error, so no text that came
  # from a packet, a file or a user can ever be run as a format.
  -Wformat=2
  $<$<BOOL:${SOUNDMODULE_WERROR}>:-Werror>)

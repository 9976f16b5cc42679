# Warnings for every target of the project; CI builds with SOUNDMODULE_WERROR=ON.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wimplicit-fallthrough
  $<$<BOOL:${SOUNDMODULE_WERROR}>:-Werror>)

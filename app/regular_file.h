// Opening a file that the module reads at start-up (universe.dat, the sounds) only when
// it is a regular file: a folder of that name opens on this system but reads nothing,
// and opening a pipe would wait for a writer. Any thread.
#pragma once

#include <cstdint>
#include <string>

// A descriptor open for reading and the file's size in *size; -1 when the name is
// missing or is anything but a regular file. Never waits.
int OpenRegularFile(const std::string& path, std::uint64_t* size);

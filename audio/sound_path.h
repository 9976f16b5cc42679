// Resolving the module's sound file names ("Sounds\\beep31.wav") on this file system.
// Pure apart from reading the folder; any thread.
#pragma once

#include <string>

// The name with forward slashes for the backslashes that separate its folders.
std::string ForwardSlashes(const std::string& fileName);

// ForwardSlashes(fileName); when that exact file is missing, the one file of its folder
// whose name matches regardless of case; when none or several match, the name as given
// (which then fails to open).
std::string ResolveSoundPath(const std::string& fileName);

// The last part of the name, after any '\\' or '/'.
std::string BaseName(const std::string& fileName);

// The module's version data, shown as application metadata and by --version.
// Constant; any thread.
#pragma once

#include <string_view>

inline constexpr std::string_view VERSION_TEXT = "108.0.0.0";
inline constexpr std::string_view FILE_DESCRIPTION = "Sound Module";
inline constexpr std::string_view COMPANY_NAME = "Varnholt Industries";
inline constexpr std::string_view PRODUCT_NAME = "Varnholt Industries Sound Module";

// The few calls of the core that differ between platforms.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace flussom {

// fopen for a path in the platform's own encoding.
std::FILE* apri_file(const std::filesystem::path& percorso, const char* modo);

// Local time of `t`.
std::tm ora_locale(std::time_t t);

}  // namespace flussom

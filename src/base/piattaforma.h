// The few calls of the core that differ between platforms.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

namespace flussom {

// fopen for a path in the platform's own encoding.
std::FILE* apri_file(const std::filesystem::path& percorso, const char* modo);

// Moves a file opened by apri_file to byte `posizione` (past 2 GB too). False on failure.
bool posiziona_file(std::FILE* file, std::uint64_t posizione);

// True when the two paths are the same name as the platform compares names (Windows
// ignores letter case; the others do not).
bool stesso_nome(const std::filesystem::path& a, const std::filesystem::path& b);

// Local time of `t`.
std::tm ora_locale(std::time_t t);

// The system's text for an error, as Windows-1252 bytes like every other text of the core.
// The system writes it in the language and encoding of the locale (UTF-8 on most systems,
// UTF-16 through the wide calls on Windows); a character that Windows-1252 lacks becomes '?'.
std::string testo_errore(const std::error_code& e);
// The same for an errno value.
inline std::string testo_errno(int e) { return testo_errore(std::error_code(e, std::generic_category())); }

}  // namespace flussom

#include "base/piattaforma.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

namespace flussom {

std::FILE* apri_file(const std::filesystem::path& percorso, const char* modo) {
  const std::wstring m(modo, modo + std::char_traits<char>::length(modo));
  return _wfopen(percorso.c_str(), m.c_str());
}

bool posiziona_file(std::FILE* file, std::uint64_t posizione) {
  return posizione <= static_cast<std::uint64_t>(INT64_MAX) &&
         _fseeki64(file, static_cast<__int64>(posizione), SEEK_SET) == 0;
}

bool stesso_nome(const std::filesystem::path& a, const std::filesystem::path& b) {
  const std::wstring x = a.lexically_normal().make_preferred().native();
  const std::wstring y = b.lexically_normal().make_preferred().native();
  return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(), static_cast<int>(y.size()),
                              TRUE) == CSTR_EQUAL;
}

std::tm ora_locale(std::time_t t) {
  std::tm r{};
  localtime_s(&r, &t);
  return r;
}

// The system's error texts come as UTF-16 from the wide calls: the C runtime's for errno
// values, FormatMessageW for the system's own codes.
std::string testo_errore(const std::error_code& e) {
  std::wstring testo;
  if (e.category() == std::generic_category()) {
    testo = _wcserror(e.value());
  } else if (e.category() == std::system_category()) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(e.value()), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n > 0) testo.assign(buffer, n);
    LocalFree(buffer);
    while (!testo.empty() && (testo.back() == L'\n' || testo.back() == L'\r' || testo.back() == L' ' ||
                              testo.back() == L'.'))
      testo.pop_back();
  }
  if (testo.empty()) return e.message();
  const int n = WideCharToMultiByte(1252, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0, "?", nullptr);
  std::string r(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(1252, 0, testo.data(), static_cast<int>(testo.size()), r.data(), n, "?", nullptr);
  return r;
}

}  // namespace flussom

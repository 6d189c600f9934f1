#include "base/piattaforma.h"

#include <string>

namespace flussom {

std::FILE* apri_file(const std::filesystem::path& percorso, const char* modo) {
  const std::wstring m(modo, modo + std::char_traits<char>::length(modo));
  return _wfopen(percorso.c_str(), m.c_str());
}

std::tm ora_locale(std::time_t t) {
  std::tm r{};
  localtime_s(&r, &t);
  return r;
}

}  // namespace flussom

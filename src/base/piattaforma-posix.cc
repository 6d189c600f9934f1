#include "base/piattaforma.h"

namespace flussom {

std::FILE* apri_file(const std::filesystem::path& percorso, const char* modo) {
  return std::fopen(percorso.c_str(), modo);
}

std::tm ora_locale(std::time_t t) {
  std::tm r{};
  localtime_r(&t, &r);
  return r;
}

}  // namespace flussom

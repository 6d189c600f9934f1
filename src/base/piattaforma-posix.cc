#include "base/piattaforma.h"

#include <langinfo.h>
#include <sys/types.h>

#include <cstring>
#include <limits>

#include "base/cp1252.h"

namespace flussom {

std::FILE* apri_file(const std::filesystem::path& percorso, const char* modo) {
  return std::fopen(percorso.c_str(), modo);
}

bool posiziona_file(std::FILE* file, std::uint64_t posizione) {
  return posizione <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
         fseeko(file, static_cast<off_t>(posizione), SEEK_SET) == 0;
}

bool stesso_nome(const std::filesystem::path& a, const std::filesystem::path& b) {
  return a.lexically_normal() == b.lexically_normal();
}

std::tm ora_locale(std::time_t t) {
  std::tm r{};
  localtime_r(&t, &r);
  return r;
}

std::string testo_errore(const std::error_code& e) {
  const std::string testo = e.message();
  const char* codifica = nl_langinfo(CODESET);
  if (std::strcmp(codifica, "UTF-8") == 0) return utf8_a_cp1252(testo);
  // A single-byte locale: ASCII passes, and the rest is read as Latin-1, which Windows-1252
  // extends; an 8-bit text of another codeset cannot be read back here.
  const bool latino = std::strcmp(codifica, "ISO-8859-1") == 0 || std::strcmp(codifica, "ISO-8859-15") == 0 ||
                      std::strcmp(codifica, "CP1252") == 0;
  std::string r = testo;
  if (!latino)
    for (char& c : r)
      if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  return r;
}

}  // namespace flussom

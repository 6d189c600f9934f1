#include "ui/righe_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/lettore_righe.h"
#include "base/piattaforma.h"

namespace flussom {

std::vector<std::string> leggi_righe(const std::filesystem::path& file, std::int64_t prima,
                                     std::int64_t ultima, std::string& errore) {
  std::vector<std::string> righe;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_file(file, "rb"), &std::fclose);
  if (!f) {
    errore = testo_errno(errno);
    return righe;
  }
  LettoreRighe lettore(f.get());
  std::string_view linea;
  std::uint64_t lunghezza = 0;
  for (std::int64_t n = 1; n <= ultima && lettore.leggi(linea, lunghezza); ++n)
    if (n >= prima) righe.emplace_back(linea);
  if (lettore.errore()) {
    errore = testo_errno(lettore.codice_errore());
    righe.clear();
  }
  return righe;
}

}  // namespace flussom

#include "ui/righe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/lettore_righe.h"
#include "base/piattaforma.h"

namespace flussom {

RigheFile::RigheFile(std::filesystem::path file) : file_(std::move(file)) {}

std::vector<std::string> RigheFile::leggi(std::int64_t prima, std::int64_t ultima, std::string& errore) {
  std::vector<std::string> righe;
  // Only a file can be read again: a pipe has given its lines to the run.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file_, ec)) {
    errore = ec ? testo_errore(ec) : "non \xE8 un file";
    return righe;
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_file(file_, "rb"), &std::fclose);
  const Segno da = *std::prev(std::upper_bound(segni_.begin(), segni_.end(), prima,
                                               [](std::int64_t r, const Segno& s) { return r < s.riga; }));
  if (!f || !posiziona_file(f.get(), da.posizione)) {
    errore = testo_errno(errno);
    return righe;
  }
  LettoreRighe lettore(f.get());
  std::string_view linea;
  std::uint64_t lunghezza = 0;
  for (std::int64_t n = da.riga; n <= ultima && lettore.leggi(linea, lunghezza); ++n) {
    if (n >= prima) righe.emplace_back(linea);
    // A line that may still lose a LF to the line before is no place to start from.
    if (n + 1 >= segni_.back().riga + passo && !lettore.cr_pendente())
      segni_.push_back({n + 1, da.posizione + lettore.posizione()});
  }
  if (lettore.errore()) {
    errore = testo_errno(lettore.codice_errore());
    righe.clear();
  }
  return righe;
}

}  // namespace flussom

#include "ui/righe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/lettore_righe.h"
#include "base/piattaforma.h"

namespace flussom {

RigheFile::RigheFile(std::filesystem::path file, std::optional<IdentitaFile> identita)
    : file_(std::move(file)), identita_(identita) {}

std::vector<RigaLetta> RigheFile::leggi(std::int64_t prima, std::int64_t ultima, std::string& errore) {
  std::vector<RigaLetta> righe;
  const auto illeggibile = [&](const std::string& motivo) {
    errore = "Impossibile leggere il file : " + motivo;
    return righe;
  };
  // Only a file can be read again: a pipe has given its lines to the run.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file_, ec)) return illeggibile(ec ? testo_errore(ec) : "non \xE8 un file");
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_file(file_, "rb"), &std::fclose);
  if (!f) return illeggibile(testo_errno(errno));
  // Another file, or the same one written since: its lines are not those the check counted
  // (nor do the notes of where they start hold for it).
  IdentitaFile ora;
  if (!identita_ || !identita_file(file_, ora) || ora != *identita_) {
    errore = testo_file_cambiato;
    return righe;
  }
  const Segno da = *std::prev(std::upper_bound(segni_.begin(), segni_.end(), prima,
                                               [](std::int64_t r, const Segno& s) { return r < s.riga; }));
  if (!posiziona_file(f.get(), da.posizione)) return illeggibile(testo_errno(errno));
  LettoreRighe lettore(f.get());
  std::string_view linea;
  std::uint64_t lunghezza = 0;
  for (std::int64_t n = da.riga; n <= ultima && lettore.leggi(linea, lunghezza); ++n) {
    if (n >= prima) righe.push_back({std::string(linea), lunghezza});
    // A line that may still lose a LF to the line before is no place to start from.
    if (n + 1 >= segni_.back().riga + passo && !lettore.cr_pendente())
      segni_.push_back({n + 1, da.posizione + lettore.posizione()});
  }
  if (lettore.in_errore()) {
    righe.clear();
    return illeggibile(lettore.errore());
  }
  return righe;
}

}  // namespace flussom

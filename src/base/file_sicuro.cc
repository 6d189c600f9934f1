#include "base/file_sicuro.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

#include "base/piattaforma.h"

namespace flussom {

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  const bool uguali = std::filesystem::equivalent(a, b, ec);
  return !ec && uguali;
}

namespace fs = std::filesystem;

StatoTabella stato_tabella(const fs::path& file) {
  std::error_code ec;
  const fs::file_status proprio = fs::symlink_status(file, ec);
  if (proprio.type() == fs::file_type::not_found) return StatoTabella::mancante;
  if (ec) return StatoTabella::inutilizzabile;
  return fs::is_regular_file(file, ec) ? StatoTabella::presente : StatoTabella::inutilizzabile;
}

StatoTabella leggi_tabella(const fs::path& file, std::string& dati, std::string& motivo) {
  dati.clear();
  std::string errore;
  const auto inutilizzabile = [&](std::string perche) {
    motivo = std::move(perche);
    return StatoTabella::inutilizzabile;
  };
  switch (stato_tabella(file)) {
    case StatoTabella::mancante:
      return StatoTabella::mancante;
    case StatoTabella::inutilizzabile: {
      std::error_code ec;
      return inutilizzabile(fs::is_directory(file, ec) ? "\xE8 una cartella" : "non \xE8 un file regolare");
    }
    case StatoTabella::presente:
      break;
  }
  // What stands at the name may change after the question above: the opening itself
  // refuses anything but a regular file or a pipe, and a pipe is refused here.
  bool pipe = false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_in_lettura(file, &pipe, errore), &std::fclose);
  if (!f) return inutilizzabile(errore);
  if (pipe) return inutilizzabile("non \xE8 un file regolare");
  if (std::fseek(f.get(), 0, SEEK_END) == 0) {
    const long lunghezza = std::ftell(f.get());
    if (lunghezza > 0) dati.reserve(static_cast<std::size_t>(lunghezza));
    std::rewind(f.get());
  }
  char blocco[1 << 16];
  for (std::size_t n; (n = std::fread(blocco, 1, sizeof blocco, f.get())) > 0;) dati.append(blocco, n);
  if (std::ferror(f.get())) {
    const int e = errno;
    dati.clear();
    return inutilizzabile(testo_errno(e));
  }
  return StatoTabella::presente;
}

}  // namespace flussom

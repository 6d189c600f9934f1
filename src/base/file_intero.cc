#include "base/file_intero.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// Links are followed at most this many times, as the systems themselves do.
constexpr int massimo_collegamenti = 40;

std::string esadecimale(std::uint64_t n) {
  static const char cifre[] = "0123456789abcdef";
  std::string s(16, '0');
  for (int i = 15; i >= 0; --i, n >>= 4) s[static_cast<std::size_t>(i)] = cifre[n & 15];
  return s;
}

// Why a target of this kind is refused; empty when it can be written.
std::string tipo_rifiutato(const fs::path& p) {
  std::error_code ec;
  const fs::file_status st = fs::status(p, ec);
  switch (st.type()) {
    case fs::file_type::not_found:
    case fs::file_type::regular:
      return {};
    case fs::file_type::directory:
      return "\xE8 una cartella";
    case fs::file_type::character:
    case fs::file_type::block:
      return "\xE8 un dispositivo";
    default:
      if (ec) return testo_errore(ec);
      return "non \xE8 un file regolare";
  }
}

// A name in the system's own folders of devices and processes (/dev/stdout, /proc/self/fd/1)
// stands for a stream, even when it leads to a regular file: renaming over it would replace
// the file another program holds open.
bool nome_di_sistema(const fs::path& p) {
  std::error_code ec;
  const fs::path assoluto = fs::absolute(p, ec).lexically_normal();
  auto parte = assoluto.begin();
  if (ec || !assoluto.has_root_directory() || assoluto.has_root_name() || ++parte == assoluto.end()) return false;
  return *parte == "dev" || *parte == "proc";
}

}  // namespace

fs::path percorso_risolto(const fs::path& percorso) {
  std::error_code ec;
  fs::path p = fs::absolute(percorso, ec);
  if (ec) p = percorso;
  for (int i = 0; i < massimo_collegamenti; ++i) {
    if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
    const fs::path dove = fs::read_symlink(p, ec);
    if (ec) break;
    p = dove.is_absolute() ? dove : p.parent_path() / dove;
  }
  fs::path canonico = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal() : canonico;
}

std::string destinazione_rifiutata(const fs::path& percorso, const std::vector<fs::path>& protetti) {
  if (nome_di_sistema(percorso)) return "non \xE8 un file regolare";
  const fs::path risolto = percorso_risolto(percorso);
  for (const fs::path& p : protetti)
    if (stesso_nome(risolto, percorso_risolto(p)) || stesso_file(risolto, p))
      return "\xE8 " + testo_cp1252(p.filename()) + ", che il controllo non deve sovrascrivere";
  return tipo_rifiutato(risolto);
}

bool FileIntero::apri(const fs::path& destinazione, std::string& errore) {
  annulla();
  errore_.clear();
  destinazione_ = percorso_risolto(destinazione);
  if (std::string motivo = tipo_rifiutato(destinazione_); !motivo.empty()) {
    errore = motivo;
    return false;
  }
  std::random_device sorgente;
  std::mt19937_64 caso((static_cast<std::uint64_t>(sorgente()) << 32) ^ sorgente());
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    // Beside the target, so the rename stays within one file system.
    temporaneo_ = destinazione_.parent_path() / ".";
    temporaneo_ += destinazione_.filename().native();
    temporaneo_ += "." + esadecimale(caso()) + ".tmp";
    file_ = crea_file_nuovo(temporaneo_, errore);
    if (file_) return true;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(temporaneo_, ec))) break;  // a failure, not a name taken
  }
  temporaneo_.clear();
  return false;
}

bool FileIntero::scrivi(std::string_view dati) {
  if (!file_ || !errore_.empty()) return false;
  if (std::fwrite(dati.data(), 1, dati.size(), file_) != dati.size()) errore_ = testo_errno(errno);
  return errore_.empty();
}

bool FileIntero::completa(std::string& errore) {
  if (!file_) {
    errore = errore_.empty() ? "file non aperto" : errore_;
    return false;
  }
  if (std::fflush(file_) != 0 && errore_.empty()) errore_ = testo_errno(errno);
  if (std::fclose(file_) != 0 && errore_.empty()) errore_ = testo_errno(errno);
  file_ = nullptr;
  std::error_code ec;
  if (errore_.empty()) {
    fs::rename(temporaneo_, destinazione_, ec);
    if (ec) errore_ = testo_errore(ec);
  }
  if (!errore_.empty()) {
    errore = errore_;
    fs::remove(temporaneo_, ec);
    temporaneo_.clear();
    return false;
  }
  temporaneo_.clear();
  return true;
}

void FileIntero::annulla() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::error_code ec;
  if (!temporaneo_.empty()) fs::remove(temporaneo_, ec);
  temporaneo_.clear();
}

bool scrivi_file_intero(const fs::path& percorso, std::string_view testo, std::string& errore) {
  FileIntero f;
  return f.apri(percorso, errore) && f.scrivi(testo) && f.completa(errore);
}

}  // namespace flussom

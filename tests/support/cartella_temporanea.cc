#include "support/cartella_temporanea.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace flussom::prova {

namespace fs = std::filesystem;

CartellaTemporanea::CartellaTemporanea() {
  static std::atomic<unsigned> contatore{0};
  std::random_device rd;
  std::error_code ec;
  do {
    percorso_ = fs::temp_directory_path() / ("flussom-prova-" + std::to_string(rd()) + "-" +
                                             std::to_string(contatore++));
  } while (!fs::create_directory(percorso_, ec));
}

CartellaTemporanea::~CartellaTemporanea() {
  std::error_code ec;
  // A test may leave the folder read-only; give the write bit back before removing it.
  fs::permissions(percorso_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(percorso_, ec);
}

fs::path CartellaTemporanea::scrivi(std::string_view nome, std::string_view contenuto) const {
  scrivi_file(percorso_ / nome, contenuto);
  return percorso_ / nome;
}

std::string CartellaTemporanea::leggi(std::string_view nome) const {
  return leggi_file(percorso_ / nome);
}

std::string leggi_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void scrivi_file(const fs::path& p, std::string_view contenuto) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
}

#ifndef _WIN32
LimiteFile::LimiteFile(unsigned long long byte) : segnale_(signal(SIGXFSZ, SIG_IGN)) {
  rlimit r{};
  getrlimit(RLIMIT_FSIZE, &r);
  prima_ = r.rlim_cur;
  r.rlim_cur = byte;
  setrlimit(RLIMIT_FSIZE, &r);
}

LimiteFile::~LimiteFile() {
  rlimit r{};
  getrlimit(RLIMIT_FSIZE, &r);
  r.rlim_cur = prima_;
  setrlimit(RLIMIT_FSIZE, &r);
  signal(SIGXFSZ, segnale_);
}
#endif

}  // namespace flussom::prova

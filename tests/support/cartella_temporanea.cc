#include "support/cartella_temporanea.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

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

std::map<std::string, std::string> contenuto(const fs::path& cartella) {
  std::map<std::string, std::string> m;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(cartella, ec))
    m[e.path().filename().string()] = e.is_symlink()        ? "-> " + fs::read_symlink(e.path()).string()
                                      : e.is_regular_file() ? leggi_file(e.path())
                                                            : "<altro>";
  return m;
}

#ifndef _WIN32
// Sets the limit on the size of files; the limit before.
static unsigned long long limita_file(unsigned long long byte) {
  rlimit r{};
  getrlimit(RLIMIT_FSIZE, &r);
  const unsigned long long prima = std::exchange(r.rlim_cur, byte);
  setrlimit(RLIMIT_FSIZE, &r);
  return prima;
}

LimiteFile::LimiteFile(unsigned long long byte) : prima((signal(SIGXFSZ, SIG_IGN), limita_file(byte))) {}
LimiteFile::~LimiteFile() { limita_file(prima); }
#endif

}  // namespace flussom::prova

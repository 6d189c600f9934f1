// A fresh folder under the system's temporary folder, removed with its contents at the end.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace flussom::prova {

class CartellaTemporanea {
 public:
  CartellaTemporanea();
  ~CartellaTemporanea();
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }
  std::filesystem::path operator/(std::string_view nome) const { return percorso_ / nome; }

  // Writes `contenuto` (bytes as they are) to the file `nome` in the folder.
  std::filesystem::path scrivi(std::string_view nome, std::string_view contenuto) const;
  // The bytes of the file `nome` in the folder; empty when it does not exist.
  std::string leggi(std::string_view nome) const;

 private:
  std::filesystem::path percorso_;
};

// Reads a whole file as bytes ("" when it cannot be read).
std::string leggi_file(const std::filesystem::path& p);
// Writes a whole file as bytes.
void scrivi_file(const std::filesystem::path& p, std::string_view contenuto);

#ifndef _WIN32
// While it lives, no file of this process grows past `byte` bytes: writes beyond fail with
// EFBIG, as a full disk fails them with ENOSPC (SIGXFSZ is ignored meanwhile).
class LimiteFile {
 public:
  explicit LimiteFile(unsigned long long byte);
  ~LimiteFile();
  LimiteFile(const LimiteFile&) = delete;
  LimiteFile& operator=(const LimiteFile&) = delete;

 private:
  unsigned long long prima_;
  void (*segnale_)(int);
};
#endif

}  // namespace flussom::prova

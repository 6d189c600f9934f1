// A fresh folder under the system's temporary folder, removed with its contents at the end.
#pragma once

#include <filesystem>
#include <map>
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
// Every entry of a folder by name: a regular file's bytes, "-> where" for a link, "<altro>"
// for anything else.
std::map<std::string, std::string> contenuto(const std::filesystem::path& cartella);

#ifndef _WIN32
// While it lives, no file of this process grows past `byte` bytes: writes beyond fail with
// EFBIG as on a full disk (SIGXFSZ, which would end the process, is ignored from then on).
struct LimiteFile {
  explicit LimiteFile(unsigned long long byte);
  ~LimiteFile();
  unsigned long long prima;
};
#endif

}  // namespace flussom::prova

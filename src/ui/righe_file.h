// Lines of a data file picked by number, as the check run counted them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/file_sicuro.h"

namespace flussom {

// The lines of a file that is no longer the one the check read (Windows-1252).
inline constexpr const char* testo_file_cambiato = "Il file \xE8 cambiato dopo il controllo: ricontrollarlo";

// Every few thousand lines read, the file's lines note where a line starts, so that a later
// pick reads from the nearest note before it instead of from the top of the file: browsing
// the blocks of a file of millions of lines reads each part of it about once.
struct RigaLetta {
  std::string testo;            // the line as the check keeps it (a very long one cut)
  std::uint64_t lunghezza = 0;  // the whole line's length
};

class RigheFile {
 public:
  static constexpr std::int64_t passo = 4096;  // lines between two notes

  // `identita`: the file as the check read it; its lines are given only while it is still
  // that file, of that size and that time of last change (nothing when it was not known).
  explicit RigheFile(std::filesystem::path file = {}, std::optional<IdentitaFile> identita = {});

  // Lines `prima` to `ultima` (1-based) without their breaks, in Windows-1252; fewer when the
  // file ends before. Empty, with the text to show in `errore`, when the file cannot be
  // read or has changed since the check (testo_file_cambiato).
  std::vector<RigaLetta> leggi(std::int64_t prima, std::int64_t ultima, std::string& errore);

 private:
  struct Segno {
    std::int64_t riga;        // this line
    std::uint64_t posizione;  // starts at this byte
  };
  std::filesystem::path file_;
  std::optional<IdentitaFile> identita_;
  std::vector<Segno> segni_{{1, 0}};
};

}  // namespace flussom

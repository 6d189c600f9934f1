// The one door for every output file written whole (a JSON result, a batch's report and
// summary): the bytes go to a temporary in the target's folder, created exclusively under
// a name nobody can guess and never through a link, which is renamed over the target only
// when everything was written. Until then the target keeps what it held; a writer that is
// dropped, or fails, leaves no temporary behind.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace flussom {

class FileIntero {
 public:
  FileIntero() = default;
  ~FileIntero() { annulla(); }
  FileIntero(const FileIntero&) = delete;
  FileIntero& operator=(const FileIntero&) = delete;

  // Starts writing `destinazione`: refuses a target that is anything but a regular file or
  // nothing (a folder, a device, a pipe, a link to one), then creates the temporary.
  bool apri(const std::filesystem::path& destinazione, std::string& errore);

  // Appends bytes; false once anything failed (the reason comes from completa).
  bool scrivi(std::string_view dati);

  // Flushes and closes the temporary and renames it over the target. False, with the
  // reason, when any write failed or the rename did not happen; the temporary is removed.
  bool completa(std::string& errore);

  // Drops what was written: the temporary removed, the target untouched.
  void annulla();

  bool aperto() const { return file_ != nullptr; }
  const std::string& errore() const { return errore_; }  // of the first failed write
  const std::filesystem::path& destinazione() const { return destinazione_; }

 private:
  std::FILE* file_ = nullptr;
  std::filesystem::path destinazione_;
  std::filesystem::path temporaneo_;
  std::string errore_;
};

// Writes `testo` to `percorso` whole or not at all, through FileIntero.
bool scrivi_file_intero(const std::filesystem::path& percorso, std::string_view testo, std::string& errore);

// Why `percorso` cannot be an output (Windows-1252), empty when it can: it is one of
// `protetti` (by name, existing or not, and through links), or something other than a
// regular file or nothing.
std::string destinazione_rifiutata(const std::filesystem::path& percorso,
                                   const std::vector<std::filesystem::path>& protetti);

// The path with every link followed as far as it leads (also to a name that does not
// exist yet) and made absolute and normal, for comparing names.
std::filesystem::path percorso_risolto(const std::filesystem::path& percorso);

}  // namespace flussom

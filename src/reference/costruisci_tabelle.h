// The table builder: turns the CSV sources that installation maintainers keep (UTF-8, one
// header line, RFC 4180 quoting) into the bytes of the reference tables. Everything is built
// in memory first, so a bad source leaves nothing behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flussom {

// The sources as UTF-8 texts, header line included, by file name: those of
// sorgenti_tabelle() (reference/descrittori_tabelle.h), whose descriptors say which tables
// each builds. An absent source builds no table; any other name is ignored.
using SorgentiTabelle = std::map<std::string, std::string, std::less<>>;

// One built table: its file name and its bytes.
struct FileTabella {
  std::string nome;
  std::string contenuto;
  std::size_t record = 0;
};

// Why a source was refused. `motivo` is Windows-1252 text.
struct ErroreSorgente {
  std::string file;      // the source's file name
  std::size_t riga = 0;  // 1-based line of the source; 0 when the whole file is at fault
  std::string motivo;
};

// Builds into `tabelle` every table whose source is present, in the order of
// tabelle_costruite() (TERAPIE.DAT, TERA001.DAT, SCONTI.DAT, ICD9.DAT, COMUXX.DAT, CODESE.DAT,
// NOESE.DAT). The first fault found refuses the whole build: false, `tabelle` left empty.
bool costruisci_tabelle(const SorgentiTabelle& sorgenti, std::vector<FileTabella>& tabelle,
                        ErroreSorgente& errore);

// Reads the sources present in `cartella` (the file names of sorgenti_tabelle(); a missing
// file is an absent source). False when the folder or a file is unreadable.
bool leggi_sorgenti(const std::filesystem::path& cartella, SorgentiTabelle& sorgenti,
                    ErroreSorgente& errore);

// Why the tables could not be written. `stato` is empty when every table in `dest` is as it
// was before; otherwise some old table could not be put back, and it says, one line per
// table, which file holds what. Texts are Windows-1252.
struct ErroreScrittura {
  std::string motivo;
  std::vector<std::string> stato;
};

// Renames a file (replacing what stands at `a`); false on failure. Tests put failures in.
using Rinomina = bool (*)(const std::filesystem::path& da, const std::filesystem::path& a);

// Writes the tables into `dest` (created when missing), all or nothing. Every table is first
// written under a temporary name, created exclusively (never through a link); then each
// old table is set aside and the new one put in its place; when a step fails, the old
// tables are put back. A table name held by anything but a file (a folder, say) refuses
// the build before anything is touched. `rinomina`: a test's stand-in for renaming.
bool scrivi_tabelle(const std::vector<FileTabella>& tabelle, const std::filesystem::path& dest,
                    ErroreScrittura& errore, Rinomina rinomina = nullptr);

// The `sconto` field of SCONTI.DAT for a discount in cents: a plain text whose
// sconto_in_chiaro is read as the discount, stored scrambled, blank-padded on the right. The
// reader trims the field, so the scrambled text must neither begin nor end with a blank;
// when the plain "1.50" would, another writing of the same amount is used ("01.50",
// "1.500", ...). Nothing when no writing as wide as the field (7) fits (amounts over 999.99
// may meet this), or when the amount is negative.
std::optional<std::string> campo_sconto(long long centesimi);

}  // namespace flussom

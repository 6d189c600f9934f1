// The table builder: turns the CSV sources that installation maintainers keep (UTF-8, one
// header line, RFC 4180 quoting) into the bytes of the reference tables. Everything is built
// in memory first, so a bad source leaves nothing behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flussom {

// Names of the sources in a sources folder. prestazioni.csv builds TERAPIE.DAT, TERA001.DAT and
// SCONTI.DAT; diagnosi.csv ICD9.DAT; comuni.csv COMUXX.DAT; esenzioni.csv CODESE.DAT;
// noese.csv NOESE.DAT.
inline constexpr std::string_view sorgente_prestazioni = "prestazioni.csv";
inline constexpr std::string_view sorgente_diagnosi = "diagnosi.csv";
inline constexpr std::string_view sorgente_comuni = "comuni.csv";
inline constexpr std::string_view sorgente_esenzioni = "esenzioni.csv";
inline constexpr std::string_view sorgente_noese = "noese.csv";

// The sources as UTF-8 texts, header line included; an absent source builds no table.
struct SorgentiTabelle {
  std::optional<std::string> prestazioni;
  std::optional<std::string> diagnosi;
  std::optional<std::string> comuni;
  std::optional<std::string> esenzioni;
  std::optional<std::string> noese;
};

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

struct EsitoCostruzione {
  std::vector<FileTabella> tabelle;  // empty when the sources were refused
  std::optional<ErroreSorgente> errore;
};

// Builds every table whose source is present, in the order TERAPIE.DAT, TERA001.DAT,
// SCONTI.DAT, ICD9.DAT, COMUXX.DAT, CODESE.DAT, NOESE.DAT. The first fault found refuses
// the whole build.
EsitoCostruzione costruisci_tabelle(const SorgentiTabelle& sorgenti);

// Reads the sources present in `cartella` (the file names above; a missing file is an
// absent source). An unreadable folder or file gives the error.
std::optional<ErroreSorgente> leggi_sorgenti(const std::filesystem::path& cartella,
                                             SorgentiTabelle& sorgenti);

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
// the build before anything is touched.
std::optional<ErroreScrittura> scrivi_tabelle(const std::vector<FileTabella>& tabelle,
                                              const std::filesystem::path& dest,
                                              Rinomina rinomina = nullptr);

// The 7-byte `sconto` field of SCONTI.DAT for a discount in cents: a plain text whose
// `criptare` is read as the discount, stored scrambled, blank-padded on the right. The
// reader trims the field, so the scrambled text must neither begin nor end with a blank;
// when the plain "1.50" would, another writing of the same amount is used ("01.50",
// "1.500", ...). Nothing when no writing of at most 7 characters fits (amounts over 999.99
// may meet this), or when the amount is negative.
std::optional<std::string> campo_sconto(long long centesimi);

}  // namespace flussom

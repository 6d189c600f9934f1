// strutture.DAT, the facility table: five quoted, comma-separated fields per record
// (code, name, three specialty codes). The run reads it; registration appends to it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace flussom {

struct Struttura {
  std::string codice;         // as the table holds it
  std::string denominazione;
};

// The table read once: the first record of each code wins, as a search from the start does.
// It keeps the file's bytes and, per code, where its code and name stand in them (16 bytes
// a record), sorted by code: a table costs little more than its size, whatever it holds.
class TabellaStrutture {
 public:
  // Reads strutture.DAT in `cartella`; a missing or unusable table (not a regular file)
  // holds nothing.
  static TabellaStrutture leggi(const std::filesystem::path& cartella);
  static TabellaStrutture da_contenuto(std::string contenuto);

  // Exact comparison with field 1, letter case included; nullptr when not registered. The
  // answer stays valid as long as the table.
  const Struttura* cerca(std::string_view codice) const;

 private:
  struct Voce {
    std::uint32_t codice, lunghezza_codice, nome, lunghezza_nome;  // offsets in dati_
  };
  std::string_view testo(std::uint32_t da, std::uint32_t lunghezza) const {
    return std::string_view(dati_).substr(da, lunghezza);
  }
  std::string dati_;
  std::vector<Voce> voci_;
  // The facilities found so far, made once each (a run looks up a handful).
  mutable std::unordered_map<std::string, Struttura> trovate_;
};

// The five boxes of the registration window, as typed (Windows-1252).
struct DatiStruttura {
  std::string codice;
  std::string denominazione;
  std::string branca1;
  std::string branca2;
  std::string branca3;
};

// Longest texts of the registration boxes.
inline constexpr std::size_t max_codice_struttura = 6;
inline constexpr std::size_t max_denominazione = 30;
inline constexpr std::size_t max_branca = 2;

// Key filters of the registration window, one typed character at a time (Windows-1252):
// the character to put in the box, or nothing when the key is dropped. The double quote is
// always dropped: the record format has no escape for it. So are DEL and the bytes that
// Windows-1252 leaves undefined (0x81 0x8D 0x8F 0x90 0x9D, the C1 controls of the same
// value): controls, not characters of a name.
std::optional<char> filtra_tasto_codice(char c);         // digits only (code and specialties)
std::optional<char> filtra_tasto_denominazione(char c);  // a-z upper-cased; , - . / 0-9 and " dropped

// A control character: below the blank, DEL, or one of the five undefined bytes above.
bool carattere_di_controllo(char c);

// The same filters over a whole text (pasted text), cut to `massimo` characters; the name's
// filter drops every control character too.
std::string filtra_testo_codice(std::string_view testo, std::size_t massimo);
std::string filtra_testo_denominazione(std::string_view testo, std::size_t massimo);

// "Registra" ignores a registration without code or first specialty (after trimming).
bool registrazione_completa(const DatiStruttura& dati);

// The record line as "Registra" writes it, CR LF included: each field trimmed and quoted.
std::string record_struttura(const DatiStruttura& dati);

// What a registration came to.
enum class RegistrazioneStruttura {
  registrata,      // the record appended
  gia_registrata,  // the code is in the table already: nothing written
  non_scritta      // the table cannot be written: nothing half written is left behind
};

// Appends the record to strutture.DAT in `cartella` (created when missing), unless a lookup
// would find its code already: under the table's exclusive lock the table is read and
// searched as the run searches it, so two registrations of one code never both pass.
// gia_registrata puts "Struttura CODICE gi\xE0 registrata: NOME" (the registered name) in
// `errore`; non_scritta, the reason.
RegistrazioneStruttura registra_struttura(const std::filesystem::path& cartella, const DatiStruttura& dati,
                                          std::string& errore);

}  // namespace flussom

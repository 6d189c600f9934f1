// strutture.DAT, the facility table: five quoted, comma-separated fields per record
// (code, name, three specialty codes). The run reads it; registration appends to it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace flussom {

struct Struttura {
  std::string codice;         // as the table holds it
  std::string denominazione;
};

// The table read once: the first record of each code wins, as a search from the start does.
class TabellaStrutture {
 public:
  // Reads strutture.DAT in `cartella`; a missing or unreadable table holds nothing.
  static TabellaStrutture leggi(const std::filesystem::path& cartella);
  static TabellaStrutture da_contenuto(std::string_view contenuto);

  // Exact comparison with field 1, letter case included; nullptr when not registered.
  const Struttura* cerca(std::string_view codice) const;

 private:
  std::unordered_map<std::string, Struttura> per_codice_;
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
// always dropped: the record format has no escape for it.
std::optional<char> filtra_tasto_codice(char c);         // digits only (code and specialties)
std::optional<char> filtra_tasto_denominazione(char c);  // a-z upper-cased; , - . / 0-9 and " dropped

// The same filters over a whole text (pasted text), cut to `massimo` characters.
std::string filtra_testo_codice(std::string_view testo, std::size_t massimo);
std::string filtra_testo_denominazione(std::string_view testo, std::size_t massimo);

// "Registra" ignores a registration without code or first specialty (after trimming).
bool registrazione_completa(const DatiStruttura& dati);

// The record line as "Registra" writes it, CR LF included: each field trimmed and quoted.
std::string record_struttura(const DatiStruttura& dati);

// Appends the record to strutture.DAT in `cartella` (created when missing). False, with the
// reason in *errore, when it cannot be written; nothing half written is left behind.
bool registra_struttura(const std::filesystem::path& cartella, const DatiStruttura& dati,
                        std::string* errore);

}  // namespace flussom

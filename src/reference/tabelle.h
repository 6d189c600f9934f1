// The reference tables of the application folder, each read at most once per run and
// kept in memory. Keyed tables answer by bisection over their records, exactly as a
// bisection over the sorted file would; the parallel tables are read by record number.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_sicuro.h"
#include "reference/descrittori_tabelle.h"

namespace flussom {

// A file of fixed-length records with no header and no separators. The number of records
// is the file length divided by the record length, rounded down.
class TabellaRecord {
 public:
  // `crea_se_manca`: a missing file is created empty at the first use (keyed tables).
  TabellaRecord(std::filesystem::path file, std::size_t lunghezza_record, bool crea_se_manca);

  // Replaces the contents (tests, fuzzing): no file is read afterwards.
  void carica_da(std::string contenuto);

  std::size_t numero_record();
  // Record n (1-based): its bytes, or an empty view when there is no such record.
  std::string_view record(std::size_t n);

  // Bisection over the key (the first `larghezza_chiave` bytes of a record, blanks removed
  // at both ends), ordinal comparison: the 1-based number of the first record probed whose
  // key equals `codice`, or 0. The code is compared exactly as given.
  std::size_t cerca(std::string_view codice, std::size_t larghezza_chiave);

  const std::filesystem::path& file() const { return file_; }
  // Changes whenever the contents are replaced: what was worked out from the records is
  // worked out again.
  std::uint64_t versione() const { return versione_; }

 private:
  void carica();
  void tieni_record_interi();
  std::size_t bisezione(std::string_view codice, std::size_t larghezza_chiave) const;

  std::filesystem::path file_;
  std::size_t lunghezza_record_;
  bool crea_se_manca_;
  bool caricata_ = false;
  std::uint64_t versione_ = 0;
  std::string dati_;
  std::size_t quanti_record_ = 0;
  // Answers already given, per code of at most 8 bytes (every table's key is shorter),
  // valid for one key width. Open addressing over a power-of-two table of 16-byte places
  // that hold their code: an answer costs a hash and a comparison, without the division and
  // the node of a standard map (a lookup or two every line), and the table stays small
  // enough for the processor's cache.
  static constexpr std::size_t massimo_ricordato = 8;
  struct Risposta {
    std::uint64_t codice = 0;  // its bytes, as parola_codice gives them
    std::uint32_t numero = 0;
    std::uint8_t lunghezza = 0;
    bool usata = false;
  };
  std::size_t posto_risposta(std::uint64_t codice, std::size_t lunghezza) const;
  void ricorda(std::uint64_t codice, std::size_t lunghezza, std::size_t numero);
  std::vector<Risposta> risposte_;
  std::size_t quante_risposte_ = 0;
  std::size_t larghezza_risposte_ = 0;
};

// The fields of a NOESE.DAT record: its service, then the texts listing exemptions.
inline constexpr std::size_t campi_record_noese = descrittore(Tabella::noese).campi.size();

// One record of NOESE.DAT: a service and the texts listing exemptions ("*" before each),
// views into the table's bytes.
struct RecNoese {
  std::string_view prestazione;  // field 1, trimmed
  std::string_view esenzioni[campi_record_noese - 1];  // the other fields
};

// Where a NOESE.DAT record stands in the table's bytes: its service (trimmed) and where its
// first field begins. The record itself is read again from there when it is asked for, so
// a table costs 16 bytes a record beside its bytes.
struct VoceNoese {
  std::uint32_t prestazione, lunghezza;
  std::uint64_t punto;  // position * 2, plus 1 when a comma was just read
};

// The records of one service, in file order.
class ElencoNoese {
 public:
  ElencoNoese(std::string_view dati, const VoceNoese* prima, std::size_t quante)
      : dati_(dati), prima_(prima), quante_(quante) {}
  std::size_t size() const { return quante_; }
  RecNoese operator[](std::size_t i) const;

 private:
  std::string_view dati_;
  const VoceNoese* prima_;
  std::size_t quante_;
};

// What the checks of a line read of a service: its TERAPIE.DAT tariff and the specialties
// its TERA001.DAT record lists (same record number), worked out once per record.
struct VocePrestazione {
  std::string_view tariffa;   // the tariff field as stored; empty without a record
  double valore_tariffa = 0;  // valnum(tariffa)
  // The 30 two-character slots of TERA001.DAT, each read as valnum reads it. When every
  // slot reads a whole number from 0 to 99, the numbers are kept as bits and the slots are
  // not read again; otherwise `slot_irregolari` and the slots are read at every question.
  std::string_view branche;
  bool ogni_branca = false;  // no specialty listed (or no record): every specialty suits
  bool slot_irregolari = false;
  std::uint64_t bit_branche[2] = {};
  bool pronta = false;  // worked out
};

// The line's specialty (valnum(cod_branca)) among those a service lists. Numeric
// comparison: "09" and "9 " are the same specialty, and an empty cod_branca matches an
// empty slot.
bool branca_consona(const VocePrestazione& v, std::string_view cod_branca);

class Tabelle {
 public:
  explicit Tabelle(std::filesystem::path cartella);

  // A table of fixed-length records, created when missing as its descriptor says.
  TabellaRecord& tabella(Tabella t) { return tabelle_[static_cast<std::size_t>(t)]; }
  TabellaRecord& terapie() { return tabella(Tabella::terapie); }
  TabellaRecord& tera001() { return tabella(Tabella::tera001); }
  TabellaRecord& sconti() { return tabella(Tabella::sconti); }
  TabellaRecord& icd9() { return tabella(Tabella::icd9); }
  TabellaRecord& comuxx() { return tabella(Tabella::comuxx); }
  TabellaRecord& codese() { return tabella(Tabella::codese); }

  // The service of TERAPIE.DAT's record `numero` (1-based, as RICPRE gives it).
  const VocePrestazione& prestazione(std::size_t numero);

  // The NOESE.DAT records of a service (trimmed code), in file order; nothing when the
  // service has none (or NOESE.DAT is missing). NOESE.DAT is never created.
  std::optional<ElencoNoese> noese(std::string_view prestazione);
  // Replaces NOESE.DAT's contents (tests, fuzzing).
  void carica_noese_da(std::string contenuto);

  // The names of every table file of the application folder, strutture.DAT included, in the
  // order of the descriptors.
  static const std::vector<std::string>& nomi();

  // Names of the table files missing from the folder, and of those that are there but are
  // not regular files (for warnings at the start of a run); the run treats both as missing.
  static std::vector<std::string> mancanti(const std::filesystem::path& cartella);
  static std::vector<std::string> inutilizzabili(const std::filesystem::path& cartella);

 private:
  std::filesystem::path cartella_;
  // One per descriptor; those of the comma-separated tables are never read (NOESE.DAT is read
  // below, strutture.DAT by model/strutture.h).
  std::vector<TabellaRecord> tabelle_;
  // By record number - 1, for the contents of TERAPIE.DAT and TERA001.DAT whose versions
  // are kept beside.
  std::vector<VocePrestazione> prestazioni_;
  std::uint64_t versioni_prestazioni_[2] = {};
  bool noese_letta_ = false;
  std::string noese_dati_;
  std::vector<VoceNoese> noese_voci_;  // by service, then in file order
};

// Looks a service code up in TERAPIE.DAT (blanks around the code removed): the record
// number, 0 when not found. The record itself is `tabelle.terapie().record(numero)`.
std::size_t RICPRE(Tabelle& tabelle, std::string_view codice);

// A code looked up, compared exactly as given, in COMUXX.DAT (town), ICD9.DAT (diagnosis) or
// CODESE.DAT (exemption): the record number, 0 when not found (or the table is unusable).
std::size_t cerca_comune(Tabelle& tabelle, std::string_view codice);
std::size_t cerca_diagnosi(Tabelle& tabelle, std::string_view codice);
std::size_t cerca_esenzione(Tabelle& tabelle, std::string_view codice);

// The plain text of a discount field of SCONTI.DAT, as the discount computation reads it:
// the field trimmed of blanks, then unscrambled.
std::string sconto_in_chiaro(std::string_view campo);

}  // namespace flussom

// The layout of every table of the application folder, in one place: its file name, the
// length of its records, its fields, its key, whether a lookup creates it when it is
// missing, and the CSV source the table builder makes it from. The lookups, the builder, the
// viewer and the checks read the layout from here; descrittori_tabelle.cc checks it at
// compile time (fields within their record, one after the other, keys where the bisection
// reads them, every field the builder fills named among its source's columns).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace flussom {

// What a field holds: how the builder fills it and how the viewer shows it.
enum class TipoCampo : std::uint8_t {
  codice,     // a code: printable ASCII without blanks, blank-padded
  testo,      // a description in Windows-1252, blank-padded
  importo,    // euro: five digits, ".", two decimals ("00012.50")
  branche,    // specialty codes, two characters a slot, empty slots blank
  sconto,     // a discount per unit, scrambled (see sconto_in_chiaro), blank-padded
  esenzioni,  // exemption codes, each with "*" in front
  spazi,      // not read: blanks
  zeri,       // not read: NUL bytes
};

// Widths that the kind of a field fixes.
inline constexpr std::size_t larghezza_importo = 8, larghezza_branca = 2;

struct CampoTabella {
  std::string_view nome;  // the builder fills it from the source column of the same name
  // In a record of fixed length: the 0-based offset and the width. In a comma-separated
  // record: the field's number (0-based) and the longest value the builder writes (0: no
  // limit, or not built).
  std::size_t inizio, lunghezza;
  TipoCampo tipo;
};

// A column of a CSV source, by its name in the header.
struct Colonna {
  std::string_view nome;
  bool obbligatoria;
};

// The tables, in the order of the descriptors below (that of Tabelle::nomi()).
enum class Tabella : std::uint8_t { strutture, terapie, tera001, sconti, noese, icd9, comuxx, codese };
inline constexpr std::size_t numero_tabelle = 8;

inline constexpr std::size_t nessuna_chiave = SIZE_MAX;

struct DescrittoreTabella {
  Tabella id;
  std::string_view nome;          // the file's name in the application folder
  std::size_t lunghezza_record;   // 0: comma-separated fields (base/campi_csv.h)
  std::span<const CampoTabella> campi;
  // The field lookups search (its index in `campi`); nessuna_chiave for a table read by
  // record number, whose record n belongs to record n of the keyed table built before it
  // from the same source.
  std::size_t chiave;
  bool crea_se_manca;             // a lookup creates it empty when nothing stands at its name
  std::string_view sorgente;      // the builder's CSV source; empty when the builder makes none
  // The source's columns, on the first table the source builds; the tables built beside it
  // list none.
  std::span<const Colonna> colonne;
};

// strutture.DAT: written by the registration and read by model/strutture.h, not built.
inline constexpr CampoTabella campi_strutture[] = {
    {"codice", 0, 0, TipoCampo::codice},  {"denominazione", 1, 0, TipoCampo::testo},
    {"branca1", 2, 0, TipoCampo::codice}, {"branca2", 3, 0, TipoCampo::codice},
    {"branca3", 4, 0, TipoCampo::codice}};
inline constexpr CampoTabella campi_terapie[] = {
    {"codice", 0, 7, TipoCampo::codice}, {"descrizione", 7, 50, TipoCampo::testo},
    {"campo3", 57, 2, TipoCampo::spazi}, {"tariffa", 59, 8, TipoCampo::importo},
    {"campo5", 67, 2, TipoCampo::zeri}};
inline constexpr CampoTabella campi_tera001[] = {{"branche", 0, 60, TipoCampo::branche},
                                                 {"resto", 60, 20, TipoCampo::spazi}};
// The code is not read: it tells a person looking at the file which service a record is of.
inline constexpr CampoTabella campi_sconti[] = {{"codice", 0, 7, TipoCampo::codice},
                                                {"sconto", 7, 7, TipoCampo::sconto}};
// ICD9.DAT, COMUXX.DAT, CODESE.DAT.
inline constexpr CampoTabella campi_codici[] = {{"codice", 0, 6, TipoCampo::codice},
                                                {"descrizione", 6, 40, TipoCampo::testo},
                                                {"resto", 46, 17, TipoCampo::spazi}};
// A service and four lists of the exemptions that cover it; the builder fills the first.
inline constexpr CampoTabella campi_noese[] = {
    {"prestazione", 0, 7, TipoCampo::codice}, {"campo2", 1, 0, TipoCampo::esenzioni},
    {"campo3", 2, 0, TipoCampo::esenzioni},   {"campo4", 3, 0, TipoCampo::esenzioni},
    {"campo5", 4, 0, TipoCampo::esenzioni}};

inline constexpr Colonna colonne_prestazioni[] = {
    {"codice", true}, {"descrizione", true}, {"tariffa", true}, {"branche", false}, {"sconto", false}};
inline constexpr Colonna colonne_codici[] = {{"codice", true}, {"descrizione", true}};
inline constexpr Colonna colonne_noese[] = {{"prestazione", true}, {"esenzioni", true}};

inline constexpr DescrittoreTabella descrittori[] = {
    {Tabella::strutture, "strutture.DAT", 0, campi_strutture, 0, false, {}, {}},
    {Tabella::terapie, "TERAPIE.DAT", 69, campi_terapie, 0, true, "prestazioni.csv", colonne_prestazioni},
    {Tabella::tera001, "TERA001.DAT", 80, campi_tera001, nessuna_chiave, false, "prestazioni.csv", {}},
    {Tabella::sconti, "SCONTI.DAT", 14, campi_sconti, nessuna_chiave, false, "prestazioni.csv", {}},
    {Tabella::noese, "NOESE.DAT", 0, campi_noese, 0, false, "noese.csv", colonne_noese},
    {Tabella::icd9, "ICD9.DAT", 63, campi_codici, 0, true, "diagnosi.csv", colonne_codici},
    {Tabella::comuxx, "COMUXX.DAT", 63, campi_codici, 0, true, "comuni.csv", colonne_codici},
    {Tabella::codese, "CODESE.DAT", 63, campi_codici, 0, true, "esenzioni.csv", colonne_codici},
};

constexpr const DescrittoreTabella& descrittore(Tabella t) {
  return descrittori[static_cast<std::size_t>(t)];
}

// A field of a table by its name, known when compiling: a name the table lacks does not
// compile.
consteval CampoTabella campo(Tabella t, std::string_view nome) {
  for (const CampoTabella& c : descrittore(t).campi)
    if (c.nome == nome) return c;
  throw "campo sconosciuto";
}

constexpr const CampoTabella& chiave(Tabella t) { return descrittore(t).campi[descrittore(t).chiave]; }

// The bytes of a field in a record of fixed length; empty when the record does not reach
// its end (no record).
constexpr std::string_view valore(std::string_view record, const CampoTabella& c) {
  return c.inizio + c.lunghezza <= record.size() ? record.substr(c.inizio, c.lunghezza) : std::string_view{};
}

// The tables the builder makes, in the order it builds them: those of fixed-length records,
// then the comma-separated ones, each in the order of the descriptors.
const std::vector<Tabella>& tabelle_costruite();
// Their sources, in the order the builder reads them (that of their first tables).
const std::vector<std::string_view>& sorgenti_tabelle();
// The tables made from a source, in the order they are built.
std::vector<Tabella> tabelle_di(std::string_view sorgente);

}  // namespace flussom

#include "reference/mostra_tabella.h"

#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/campi_csv.h"
#include "base/cp1252.h"
#include "base/testo.h"
#include "reference/descrittori_tabelle.h"
#include "reference/tabelle.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// A table is read only when it is a regular file (never a pipe or a device).
std::optional<std::string> leggi(const fs::path& p) {
  std::string s;
  std::string motivo;
  if (leggi_tabella(p, s, motivo) != StatoTabella::presente) return std::nullopt;
  return s;
}

// The table `nome` (upper case) in the folder of `accanto`, whatever the case of its name.
std::optional<std::string> leggi_vicina(const fs::path& accanto, std::string_view nome) {
  std::error_code ec;
  fs::path cartella = accanto.parent_path();
  if (cartella.empty()) cartella = ".";
  for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
    if (maiuscolo_ascii(testo_utf8(it->path().filename())) == nome && it->is_regular_file(ec))
      return leggi(it->path());
  }
  return std::nullopt;
}

// One CSV field: quoted when it holds a comma, a quote, a line break or blanks at its ends.
void aggiungi_campo(std::string& csv, std::string_view campo, bool primo) {
  if (!primo) csv += ',';
  aggiungi_campo_csv(csv, campo,
                     campo.find_first_of(",\"\r\n") != std::string_view::npos ||
                         (!campo.empty() && (campo.front() == ' ' || campo.back() == ' ')));
}

void aggiungi_riga(std::string& csv, std::span<const std::string> campi) {
  bool primo = true;
  for (std::string_view c : campi) {
    aggiungi_campo(csv, c, primo);
    primo = false;
  }
  csv += '\n';
}

// Record n (0-based) of a fixed-record table, or an empty view past its whole records.
std::string_view record(std::string_view dati, std::size_t lunghezza, std::size_t n) {
  if ((n + 1) * lunghezza > dati.size()) return {};
  return dati.substr(n * lunghezza, lunghezza);
}

// The non-empty specialty slots of a field, separated by blanks.
std::string branche(std::string_view campo) {
  std::string s;
  for (std::size_t i = 0; i + larghezza_branca <= campo.size(); i += larghezza_branca) {
    const std::string_view slot = campo.substr(i, larghezza_branca);
    if (valnum(slot) == 0) continue;
    if (!s.empty()) s += ' ';
    s += trim(slot);
  }
  return s;
}

// A field of a record as a maintainer reads it: trimmed, the specialties listed, the discount
// in plain text; nothing when there is no record.
std::string mostrato(std::string_view rec, const CampoTabella& c) {
  const std::string_view v = valore(rec, c);
  switch (c.tipo) {
    case TipoCampo::branche: return branche(v);
    case TipoCampo::sconto: return v.empty() ? std::string() : std::string(trim(sconto_in_chiaro(v)));
    default: return std::string(trim(v));
  }
}

// A keyed table of fixed-length records, with the columns of its source: those of the tables
// built beside it (TERAPIE.DAT's specialties and discount) come from their files in the same
// folder, and stay empty when a file is not there.
void mostra_con_sorgente(const fs::path& file, const DescrittoreTabella& d, const std::string& dati,
                         std::string& csv) {
  const std::vector<Tabella> tabelle = tabelle_di(d.sorgente);
  std::vector<std::optional<std::string>> vicine(tabelle.size());
  struct Origine {
    const std::string* dati;  // null: the table is not there
    std::size_t lunghezza;
    const CampoTabella* campo;
  };
  std::vector<Origine> origini;  // of each column: the first field of its name
  std::vector<std::string> riga;
  for (const Colonna& col : d.colonne) {
    riga.emplace_back(col.nome);
    for (std::size_t k = 0; k < tabelle.size() && origini.size() < riga.size(); ++k) {
      const DescrittoreTabella& e = descrittore(tabelle[k]);
      for (const CampoTabella& c : e.campi) {
        if (c.nome != col.nome || origini.size() == riga.size()) continue;
        if (e.id != d.id && !vicine[k]) vicine[k] = leggi_vicina(file, maiuscolo_ascii(std::string(e.nome)));
        origini.push_back({e.id == d.id ? &dati : vicine[k] ? &*vicine[k] : nullptr, e.lunghezza_record, &c});
      }
    }
  }
  aggiungi_riga(csv, riga);
  for (std::size_t n = 0; n < dati.size() / d.lunghezza_record; ++n) {
    for (std::size_t k = 0; k < origini.size(); ++k) {
      const Origine& o = origini[k];
      riga[k] = o.dati ? mostrato(record(*o.dati, o.lunghezza, n), *o.campo) : std::string();
    }
    aggiungi_riga(csv, riga);
  }
}

// A table read by record number: the number, then its fields.
void mostra_numerata(const DescrittoreTabella& d, const std::string& dati, std::string& csv) {
  std::vector<std::string> riga{"numero"};
  std::vector<const CampoTabella*> campi;
  for (const CampoTabella& c : d.campi)
    if (c.tipo != TipoCampo::spazi && c.tipo != TipoCampo::zeri) {
      riga.emplace_back(c.nome);
      campi.push_back(&c);
    }
  aggiungi_riga(csv, riga);
  for (std::size_t n = 0; n < dati.size() / d.lunghezza_record; ++n) {
    riga[0] = std::to_string(n + 1);
    for (std::size_t k = 0; k < campi.size(); ++k)
      riga[k + 1] = mostrato(record(dati, d.lunghezza_record, n), *campi[k]);
    aggiungi_riga(csv, riga);
  }
}

// A comma-separated table: its fields as the file holds them, the key trimmed.
void mostra_separata(const DescrittoreTabella& d, const std::string& dati, std::string& csv) {
  std::vector<std::string> riga;
  for (const CampoTabella& c : d.campi) riga.emplace_back(c.nome);
  aggiungi_riga(csv, riga);
  std::vector<std::string_view> campi(d.campi.size());
  for (LettoreCampi lettore(dati); lettore.prossimo_record(campi);) {
    for (std::size_t k = 0; k < campi.size(); ++k)
      riga[k] = k == d.chiave ? trim(campi[k]) : campi[k];
    aggiungi_riga(csv, riga);
  }
}

}  // namespace

bool tabella_in_csv(const fs::path& file, std::string& csv, std::string& errore) {
  csv.clear();
  const std::string nome = maiuscolo_ascii(testo_utf8(file.filename()));
  const DescrittoreTabella* d = nullptr;
  std::string attese;
  for (const Tabella t : tabelle_costruite()) {
    if (maiuscolo_ascii(std::string(descrittore(t).nome)) == nome) d = &descrittore(t);
    attese.append(attese.empty() ? "" : ", ").append(descrittore(t).nome);
  }
  if (d == nullptr) {
    errore = "tabella sconosciuta: " + testo_cp1252(file.filename()) + " (attese " + attese + ")";
    return false;
  }
  const std::optional<std::string> dati = leggi(file);
  if (!dati) {
    errore = "impossibile leggere " + testo_cp1252(file);
    return false;
  }
  if (d->lunghezza_record == 0)
    mostra_separata(*d, *dati, csv);
  else if (!d->colonne.empty())
    mostra_con_sorgente(file, *d, *dati, csv);
  else
    mostra_numerata(*d, *dati, csv);
  return true;
}

}  // namespace flussom

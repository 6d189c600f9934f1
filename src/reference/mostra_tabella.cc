#include "reference/mostra_tabella.h"

#include <array>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/campi_csv.h"
#include "base/cp1252.h"
#include "base/testo.h"
#include "reference/criptare.h"
#include "reference/tabelle.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

std::string maiuscolo(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// A table is read only when it is a regular file (never a pipe or a device).
std::optional<std::string> leggi(const fs::path& p) {
  std::string s;
  std::string motivo;
  if (leggi_tabella(p, s, motivo) != StatoTabella::presente) return std::nullopt;
  return s;
}

// The table `nome` in the folder of `accanto`, whatever the case of its name.
std::optional<std::string> leggi_vicina(const fs::path& accanto, std::string_view nome) {
  std::error_code ec;
  fs::path cartella = accanto.parent_path();
  if (cartella.empty()) cartella = ".";
  for (fs::directory_iterator it(cartella, ec), fine; !ec && it != fine; it.increment(ec)) {
    if (maiuscolo(testo_utf8(it->path().filename())) == nome && it->is_regular_file(ec))
      return leggi(it->path());
  }
  return std::nullopt;
}

// One CSV field: quoted when it holds a comma, a quote, a line break or blanks at its ends.
void aggiungi_campo(std::string& csv, std::string_view campo, bool primo) {
  if (!primo) csv += ',';
  const bool virgolette = campo.find_first_of(",\"\r\n") != std::string_view::npos ||
                          (!campo.empty() && (campo.front() == ' ' || campo.back() == ' '));
  if (!virgolette) {
    csv += campo;
    return;
  }
  csv += '"';
  for (char c : campo) {
    if (c == '"') csv += '"';
    csv += c;
  }
  csv += '"';
}

void aggiungi_riga(std::string& csv, std::initializer_list<std::string_view> campi) {
  bool primo = true;
  for (std::string_view c : campi) {
    aggiungi_campo(csv, c, primo);
    primo = false;
  }
  csv += '\n';
}

// Record n (0-based) of a fixed-record table, or an empty view past its whole records.
std::string_view record(const std::string& dati, std::size_t lunghezza, std::size_t n) {
  if ((n + 1) * lunghezza > dati.size()) return {};
  return std::string_view(dati).substr(n * lunghezza, lunghezza);
}

// The non-empty specialty slots of a TERA001.DAT record, separated by blanks.
std::string branche(std::string_view rec) {
  std::string s;
  for (std::size_t i = 0; i < 30 && 2 * i + 2 <= rec.size(); ++i) {
    const std::string_view slot = rec.substr(2 * i, 2);
    if (valnum(slot) == 0) continue;
    if (!s.empty()) s += ' ';
    s += trim(slot);
  }
  return s;
}

// The plain discount of a SCONTI.DAT record, as the discount computation reads it.
std::string sconto(std::string_view rec) {
  if (rec.size() < lunghezza_sconti) return {};
  std::string s(trim(rec.substr(7, 7)));
  criptare(s);
  return std::string(trim(s));
}

void mostra_terapie(const fs::path& file, const std::string& dati, std::string& csv) {
  const std::optional<std::string> tera001 = leggi_vicina(file, "TERA001.DAT");
  const std::optional<std::string> sconti = leggi_vicina(file, "SCONTI.DAT");
  aggiungi_riga(csv, {"codice", "descrizione", "tariffa", "branche", "sconto"});
  for (std::size_t n = 0; n < dati.size() / lunghezza_terapie; ++n) {
    const std::string_view rec = record(dati, lunghezza_terapie, n);
    const std::string b = tera001 ? branche(record(*tera001, lunghezza_tera001, n)) : "";
    const std::string s = sconti ? sconto(record(*sconti, lunghezza_sconti, n)) : "";
    aggiungi_riga(csv,
                  {trim(rec.substr(0, 7)), trim(rec.substr(7, 50)), trim(rec.substr(59, 8)), b, s});
  }
}

}  // namespace

bool tabella_in_csv(const fs::path& file, std::string& csv, std::string& errore) {
  csv.clear();
  const std::string nome = maiuscolo(testo_utf8(file.filename()));
  const bool nota = nome == "TERAPIE.DAT" || nome == "TERA001.DAT" || nome == "SCONTI.DAT" ||
                    nome == "ICD9.DAT" || nome == "COMUXX.DAT" || nome == "CODESE.DAT" ||
                    nome == "NOESE.DAT";
  if (!nota) {
    errore = "tabella sconosciuta: " + testo_cp1252(file.filename()) +
             " (attese TERAPIE.DAT, TERA001.DAT, SCONTI.DAT, ICD9.DAT, COMUXX.DAT, "
             "CODESE.DAT, NOESE.DAT)";
    return false;
  }
  const std::optional<std::string> dati = leggi(file);
  if (!dati) {
    errore = "impossibile leggere " + testo_cp1252(file);
    return false;
  }
  if (nome == "TERAPIE.DAT") {
    mostra_terapie(file, *dati, csv);
  } else if (nome == "TERA001.DAT") {
    aggiungi_riga(csv, {"numero", "branche"});
    for (std::size_t n = 0; n < dati->size() / lunghezza_tera001; ++n)
      aggiungi_riga(csv, {std::to_string(n + 1), branche(record(*dati, lunghezza_tera001, n))});
  } else if (nome == "SCONTI.DAT") {
    aggiungi_riga(csv, {"numero", "codice", "sconto"});
    for (std::size_t n = 0; n < dati->size() / lunghezza_sconti; ++n) {
      const std::string_view rec = record(*dati, lunghezza_sconti, n);
      aggiungi_riga(csv, {std::to_string(n + 1), trim(rec.substr(0, 7)), sconto(rec)});
    }
  } else if (nome == "NOESE.DAT") {
    aggiungi_riga(csv, {"prestazione", "campo2", "campo3", "campo4", "campo5"});
    std::array<std::string_view, 5> r;
    for (LettoreCampi lettore(*dati); lettore.prossimo_record(r);)
      aggiungi_riga(csv, {trim(r[0]), r[1], r[2], r[3], r[4]});
  } else {
    aggiungi_riga(csv, {"codice", "descrizione"});
    for (std::size_t n = 0; n < dati->size() / lunghezza_codici; ++n) {
      const std::string_view rec = record(*dati, lunghezza_codici, n);
      aggiungi_riga(csv, {trim(rec.substr(0, 6)), trim(rec.substr(6, 40))});
    }
  }
  return true;
}

}  // namespace flussom

#include "reference/costruisci_tabelle.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <span>
#include <system_error>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"
#include "base/testo.h"
#include "reference/criptare.h"
#include "reference/descrittori_tabelle.h"
#include "reference/sorgente_csv.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

constexpr long long importo_massimo = 9999999;  // 99999.99 in "00000.00"
constexpr std::size_t larghezza_sconto = campo(Tabella::sconti, "sconto").lunghezza;
// An exemption code of NOESE.DAT, as CODESE.DAT keys it.
constexpr std::size_t larghezza_esenzione = chiave(Tabella::codese).lunghezza;

// The comma-separated tables the builder makes are of one kind: a service (the key, first)
// and exemption lists, the first of them filled from the source's second column.
constexpr bool separate_come_noese() {
  for (const DescrittoreTabella& d : descrittori) {
    if (d.lunghezza_record != 0 || d.sorgente.empty()) continue;
    if (d.chiave != 0 || d.colonne.size() != 2 || d.campi.size() < 2) return false;
    for (std::size_t f = 1; f < d.campi.size(); ++f)
      if (d.campi[f].tipo != TipoCampo::esenzioni) return false;
  }
  return true;
}
static_assert(separate_come_noese());

bool blank(char c) { return c == ' ' || c == '\t'; }

// A key: printable ASCII without blanks, not longer than its field.
bool codice_valido(std::string_view valore, std::size_t larghezza, std::string_view cosa,
                   std::size_t riga, Rifiuto& errore) {
  if (valore.empty()) {
    errore = {riga, std::string(cosa) + " mancante"};
    return false;
  }
  for (char c : valore) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 32 || u >= 127) {
      errore = {riga, std::string(cosa) + " " + citato(valore) +
                          " con caratteri non ammessi (solo lettere, cifre e segni ASCII, "
                          "senza spazi)"};
      return false;
    }
  }
  if (valore.size() > larghezza) {
    errore = {riga, std::string(cosa) + " " + citato(valore) +
                        " troppo lungo: " + std::to_string(valore.size()) +
                        " caratteri, al massimo " + std::to_string(larghezza)};
    return false;
  }
  return true;
}

// Length of the UTF-8 sequence that starts with byte b and its code point bits, or 0.
std::size_t lunghezza_utf8(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 0;
}

std::string esadecimale(std::uint32_t v) {
  static const char cifre[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), cifre[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  while (s.size() < 4) s.insert(s.begin(), '0');
  return s;
}

// A text field converted to Windows-1252, with no control characters and within its width.
bool testo_valido(std::string_view utf8, std::size_t larghezza, std::string_view cosa,
                  std::size_t riga, std::string& testo, Rifiuto& errore) {
  std::optional<std::string> convertito = utf8_a_cp1252_esatto(utf8);
  if (!convertito) {
    // Find the character to name it.
    for (std::size_t i = 0; i < utf8.size();) {
      const auto b = static_cast<unsigned char>(utf8[i]);
      const std::size_t l = lunghezza_utf8(b);
      if (l == 0 || i + l > utf8.size() || !utf8_a_cp1252_esatto(utf8.substr(i, l))) {
        std::uint32_t punto = 0;
        bool leggibile = l > 1 && i + l <= utf8.size();
        if (leggibile) {
          punto = b & (0x7F >> l);
          for (std::size_t k = 1; k < l; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) leggibile = false;
            punto = (punto << 6) | (c & 0x3F);
          }
        }
        errore = {riga, leggibile ? std::string(cosa) + ": il carattere U+" + esadecimale(punto) +
                                        " non ha forma in Windows-1252"
                                  : std::string(cosa) + ": testo UTF-8 non valido"};
        return false;
      }
      i += l;
    }
    errore = {riga, std::string(cosa) + ": testo UTF-8 non valido"};
    return false;
  }
  for (char c : *convertito) {
    const auto u = static_cast<unsigned char>(c);
    // The bytes Windows-1252 leaves undefined come only from C1 controls.
    if (u < 32 || u == 127 || u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) {
      errore = {riga, std::string(cosa) + ": carattere di controllo (a capo, tabulazione...)"};
      return false;
    }
  }
  if (convertito->size() > larghezza) {
    errore = {riga, std::string(cosa) + " troppo lunga: " + std::to_string(convertito->size()) +
                        " caratteri, al massimo " + std::to_string(larghezza)};
    return false;
  }
  testo = std::move(*convertito);
  return true;
}

// Cents of an amount written with "." or "," as decimal point and at most two decimals,
// no sign and no thousands separators.
std::optional<long long> centesimi_di(std::string_view s) {
  std::size_t i = 0;
  long long intero = 0;
  std::size_t cifre_intere = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (++cifre_intere > 12) return std::nullopt;
    intero = intero * 10 + (s[i++] - '0');
  }
  long long decimali = 0;
  std::size_t cifre_decimali = 0;
  if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      if (++cifre_decimali > 2) return std::nullopt;
      decimali = decimali * 10 + (s[i++] - '0');
    }
  }
  if (i != s.size() || cifre_intere + cifre_decimali == 0) return std::nullopt;
  if (cifre_decimali == 1) decimali *= 10;
  return intero * 100 + decimali;
}

bool importo_valido(std::string_view valore, std::string_view cosa, long long massimo,
                    std::size_t riga, long long& centesimi, Rifiuto& errore) {
  std::optional<long long> c = centesimi_di(valore);
  if (!c) {
    errore = {riga, std::string(cosa) + " " + citato(valore) +
                        " non \xE8 un importo (cifre, \".\" o \",\" e al pi\xF9 due decimali, "
                        "per esempio 12.50)"};
    return false;
  }
  if (*c > massimo) {
    errore = {riga, std::string(cosa) + " " + citato(valore) + " troppo grande"};
    return false;
  }
  centesimi = *c;
  return true;
}

std::string cifre(long long v, std::size_t larghezza) {
  std::string s = std::to_string(v);
  if (s.size() < larghezza) s.insert(0, larghezza - s.size(), '0');
  return s;
}

// An amount as stored: five integer digits, ".", two decimals ("00012.50").
std::string importo_8(long long centesimi) {
  std::string t = cifre(centesimi / 100, 5) + "." + cifre(centesimi % 100, 2);
  static_assert(5 + 1 + 2 == larghezza_importo);
  return t;
}

std::string a_larghezza(std::string s, std::size_t larghezza) {
  s.resize(larghezza, ' ');
  return s;
}

// Specialty codes separated by blanks, at most `slot`: each one or two digits, not zero (a
// zero slot reads as empty). Stored as two digits each, one after the other, in `elenco`.
bool branche_valide(std::string_view valore, std::size_t riga, std::size_t slot, std::string& elenco,
                    Rifiuto& errore) {
  std::size_t branche = 0;
  std::size_t i = 0;
  while (i < valore.size()) {
    if (blank(valore[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < valore.size() && !blank(valore[j])) ++j;
    const std::string_view b = valore.substr(i, j - i);
    const bool cifre_sole =
        std::all_of(b.begin(), b.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (b.size() > 2 || !cifre_sole || b.find_first_not_of('0') == std::string_view::npos) {
      errore = {riga, "branca " + citato(b) +
                          " non valida: una o due cifre, non zero, separate da spazi"};
      return false;
    }
    static_assert(larghezza_branca == 2);
    elenco.append(b.size() == 1 ? "0" : "").append(b);
    ++branche;
    i = j;
  }
  if (branche > slot) {
    errore = {riga, std::to_string(branche) + " branche, al massimo " + std::to_string(slot)};
    return false;
  }
  return true;
}

// Appends `s` to a record, blank-padded to its field.
void aggiungi(std::string& record, std::string_view s, std::size_t larghezza) {
  s = s.substr(0, larghezza);
  record.append(s).append(larghezza - s.size(), ' ');
}

// Tables of fixed-length records in the order of their keys, record n of each belonging to
// the n-th key. Rows come in file order and their records are written straight into the
// tables' bytes, each row's first record beginning with its key; at the end the row numbers
// are sorted by key and the records moved into place, so a table costs its own bytes and
// eight bytes a row beside them.
class TabelleInOrdine {
 public:
  // The first table is keyed, its key at the head of its records.
  TabelleInOrdine(std::span<const Tabella> tabelle, std::size_t righe)
      : larghezza_chiave_(chiave(tabelle[0]).lunghezza) {
    for (const Tabella t : tabelle) {
      const DescrittoreTabella& d = descrittore(t);
      tabelle_.push_back({std::string(d.nome), {}, 0});
      tabelle_.back().contenuto.reserve(righe * d.lunghezza_record);
      lunghezze_.push_back(d.lunghezza_record);
    }
    righe_.reserve(righe);
  }

  // Begins a row: its line, and its key at the head of the first table's record.
  void nuova_riga(std::string_view chiave, std::size_t riga) {
    righe_.push_back(static_cast<std::uint32_t>(riga));
    aggiungi(tabelle_[0].contenuto, chiave, larghezza_chiave_);
  }

  // The bytes of table k, for the rest of the row's records.
  std::string& operator[](std::size_t k) { return tabelle_[k].contenuto; }

  // Ends the build, after the last row or at the row of the first fault (`guasto`, that row
  // begun only when its key was good): a key repeated on that row or before is what a check
  // of every row against those before it meets first; then `guasto`. Without either the
  // tables, in key order, go to `uscita`.
  bool chiudi(const std::optional<Rifiuto>& guasto, std::vector<FileTabella>& uscita,
              Rifiuto& errore) {
    std::vector<std::uint32_t> ordine(righe_.size());
    std::iota(ordine.begin(), ordine.end(), 0u);
    const auto chiave = [this](std::uint32_t n) {
      return std::string_view(tabelle_[0].contenuto).substr(n * lunghezze_[0], larghezza_chiave_);
    };
    if (const std::optional<Ripetizione> r = ordina_per_chiave(ordine, chiave)) {
      errore = {righe_[r->ripetuta], "codice " + citato(trim(chiave(r->prima))) +
                                         " ripetuto (gi\xE0 alla riga " +
                                         std::to_string(righe_[r->prima]) + ")"};
      return false;
    }
    if (guasto) {
      errore = *guasto;
      return false;
    }
    metti_in_ordine(ordine);
    for (FileTabella& t : tabelle_) {
      t.record = righe_.size();
      uscita.push_back(std::move(t));
    }
    return true;
  }

 private:
  char* record(std::size_t k, std::size_t n) {
    return tabelle_[k].contenuto.data() + n * lunghezze_[k];
  }

  // Puts record ordine[n] at place n in every table, following each cycle of the
  // permutation once with its first record set aside; a place filled points to itself.
  void metti_in_ordine(std::vector<std::uint32_t>& ordine) {
    std::vector<std::string> da_parte(tabelle_.size());
    for (std::uint32_t i = 0; i < ordine.size(); ++i) {
      if (ordine[i] == i) continue;
      for (std::size_t k = 0; k < tabelle_.size(); ++k)
        da_parte[k].assign(record(k, i), lunghezze_[k]);
      std::uint32_t posto = i;
      for (std::uint32_t da = ordine[posto]; da != i; da = ordine[posto]) {
        for (std::size_t k = 0; k < tabelle_.size(); ++k)
          std::memcpy(record(k, posto), record(k, da), lunghezze_[k]);
        ordine[posto] = posto;
        posto = da;
      }
      for (std::size_t k = 0; k < tabelle_.size(); ++k)
        std::memcpy(record(k, posto), da_parte[k].data(), lunghezze_[k]);
      ordine[posto] = posto;
    }
  }

  std::size_t larghezza_chiave_;
  std::vector<FileTabella> tabelle_;
  std::vector<std::size_t> lunghezze_;
  std::vector<std::uint32_t> righe_;  // line of each row
};

// A discount field: empty or 0 for none (blanks), else scrambled by campo_sconto.
bool sconto_valido(const CampoTabella& c, std::string_view valore, std::size_t riga, std::string& bytes,
                   Rifiuto& errore) {
  long long centesimi = 0;
  if (!valore.empty() && !importo_valido(valore, c.nome, importo_massimo, riga, centesimi, errore))
    return false;
  if (centesimi == 0) return true;
  std::optional<std::string> s = campo_sconto(centesimi);
  if (!s) {
    errore = {riga, std::string(c.nome) + " " + citato(valore) + " non memorizzabile nei " +
                        std::to_string(c.lunghezza) + " caratteri del campo"};
    return false;
  }
  bytes = std::move(*s);
  return true;
}

// The bytes of a field of a fixed-length record from the value of its column, padded to its
// width; false, with the reason, when the value does not fit the field.
bool campo_da_sorgente(const CampoTabella& c, std::string_view valore, std::size_t riga, std::string& bytes,
                       Rifiuto& errore) {
  bytes.clear();
  long long centesimi = 0;
  switch (c.tipo) {
    case TipoCampo::codice:
      if (!codice_valido(valore, c.lunghezza, c.nome, riga, errore)) return false;
      bytes = valore;
      break;
    case TipoCampo::testo:
      if (!testo_valido(valore, c.lunghezza, c.nome, riga, bytes, errore)) return false;
      break;
    case TipoCampo::importo:
      if (!importo_valido(valore, c.nome, importo_massimo, riga, centesimi, errore)) return false;
      bytes = importo_8(centesimi);
      break;
    case TipoCampo::branche:
      if (!branche_valide(valore, riga, c.lunghezza / larghezza_branca, bytes, errore)) return false;
      break;
    case TipoCampo::sconto:
      if (!sconto_valido(c, valore, riga, bytes, errore)) return false;
      break;
    case TipoCampo::zeri:
      bytes.assign(c.lunghezza, '\0');
      break;
    case TipoCampo::spazi:
    case TipoCampo::esenzioni:
      break;
  }
  bytes.resize(c.lunghezza, ' ');
  return true;
}

// For every field of each table, the position of its column among a row's values (those of
// the first table's columns), or npos for a field no column fills.
std::vector<std::vector<std::size_t>> colonne_dei_campi(std::span<const Tabella> tabelle) {
  const std::span<const Colonna> colonne = descrittore(tabelle[0]).colonne;
  std::vector<std::vector<std::size_t>> posti;
  for (const Tabella t : tabelle) {
    posti.emplace_back();
    for (const CampoTabella& c : descrittore(t).campi) {
      std::size_t i = 0;
      while (i < colonne.size() && (colonne[i].nome != c.nome || c.tipo == TipoCampo::spazi ||
                                    c.tipo == TipoCampo::zeri))
        ++i;
      posti.back().push_back(i < colonne.size() ? i : std::string_view::npos);
    }
  }
  return posti;
}

// The tables of fixed-length records of one source, record n of each belonging to the n-th
// key in byte order (TERAPIE.DAT with TERA001.DAT and SCONTI.DAT; ICD9.DAT; ...). Each row
// gives one record to every table: its key checked first, then its other fields in the
// order of the tables and of their fields.
bool costruisci_record(std::string_view testo, std::span<const Tabella> tabelle,
                       std::vector<FileTabella>& uscita, Rifiuto& errore) {
  const DescrittoreTabella& prima = descrittore(tabelle[0]);
  SorgenteCsv sorgente;
  if (!sorgente.apri(testo, prima.colonne, errore)) return false;
  const std::vector<std::vector<std::size_t>> posti = colonne_dei_campi(tabelle);
  const auto valore = [&](const RigaSorgente& r, std::size_t k, std::size_t f) {
    return posti[k][f] == std::string_view::npos ? std::string_view{} : r.valori[posti[k][f]];
  };
  TabelleInOrdine t(tabelle, sorgente.righe());
  std::optional<Rifiuto> guasto;
  std::string bytes;
  for (RigaSorgente r; !guasto && sorgente.prossima(r);) {
    Rifiuto e;
    const std::string_view codice = valore(r, 0, prima.chiave);
    if (!codice_valido(codice, chiave(prima.id).lunghezza, chiave(prima.id).nome, r.riga, e)) {
      guasto = std::move(e);
      break;
    }
    t.nuova_riga(codice, r.riga);
    for (std::size_t k = 0; k < tabelle.size() && !guasto; ++k) {
      const std::span<const CampoTabella> campi = descrittore(tabelle[k]).campi;
      for (std::size_t f = 0; f < campi.size() && !guasto; ++f) {
        if (k == 0 && f == prima.chiave) continue;
        if (campo_da_sorgente(campi[f], valore(r, k, f), r.riga, bytes, e))
          t[k] += bytes;
        else
          guasto = std::move(e);
      }
    }
  }
  return t.chiudi(guasto, uscita, errore);
}

// The exemption codes of a NOESE.DAT record, each with "*" in front.
bool elenco_esenzioni(std::string_view esenzioni, std::size_t riga, std::string& elenco,
                      Rifiuto& errore) {
  std::size_t i = 0;
  while (i < esenzioni.size()) {
    if (blank(esenzioni[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < esenzioni.size() && !blank(esenzioni[j])) ++j;
    const std::string_view codice = esenzioni.substr(i, j - i);
    if (!codice_valido(codice, larghezza_esenzione, "codice di esenzione", riga, errore))
      return false;
    if (codice.find_first_of("*\",") != std::string::npos) {
      errore = {riga, "codice di esenzione " + citato(codice) + " con \"*\", virgolette o virgola"};
      return false;
    }
    elenco.append("*").append(codice);
    i = j;
  }
  return true;
}

// NOESE.DAT: one record per source line, in the source's order (a service may have several),
// every field quoted; the exemption codes go into field 2, each with "*" in front, and the
// other fields stay empty.
bool costruisci_noese(std::string_view testo, Tabella tabella, std::vector<FileTabella>& tabelle,
                      Rifiuto& errore) {
  const DescrittoreTabella& d = descrittore(tabella);
  SorgenteCsv sorgente;
  if (!sorgente.apri(testo, d.colonne, errore)) return false;
  FileTabella t{std::string(d.nome), {}, sorgente.righe()};
  // A record is its two values, at most one "*" more than their bytes in the source, and the
  // quotes, commas and line end: room for all of them is set aside at once.
  const std::size_t cornice = 3 * d.campi.size() + 1;
  t.contenuto.reserve(testo.size() + cornice * sorgente.righe());
  std::string elenco;
  for (RigaSorgente r; sorgente.prossima(r);) {
    const std::string_view prestazione = r.valori[0];
    elenco.clear();
    if (!codice_valido(prestazione, chiave(tabella).lunghezza, "codice di prestazione", r.riga,
                       errore) ||
        !elenco_esenzioni(r.valori[1], r.riga, elenco, errore))
      return false;
    t.contenuto.append("\"").append(prestazione).append("\",\"").append(elenco).append("\"");
    for (std::size_t f = 2; f < d.campi.size(); ++f) t.contenuto += ",\"\"";
    t.contenuto += "\r\n";
  }
  tabelle.push_back(std::move(t));
  return true;
}

bool rinomina_file(const fs::path& da, const fs::path& a) {
  std::error_code ec;
  fs::rename(da, a, ec);
  return !ec;
}

// Removes whatever stands at `p` (a link itself, never what it points to; an empty folder).
void togli_di_mezzo(const fs::path& p) {
  std::error_code ec;
  if (fs::symlink_status(p, ec).type() != fs::file_type::not_found) fs::remove(p, ec);
}

// Writes a table under its temporary name, created anew and exclusively: a leftover of an
// earlier build, or a link planted there, is removed first and never written through.
bool scrivi_temporaneo(const fs::path& tmp, const std::string& contenuto, std::string& errore) {
  togli_di_mezzo(tmp);
  std::FILE* f = crea_file_nuovo(tmp, errore);
  if (!f) return false;
  const bool scritto = std::fwrite(contenuto.data(), 1, contenuto.size(), f) == contenuto.size();
  const int e = errno;
  if (std::fclose(f) == 0 && scritto) return true;
  errore = testo_errno(scritto ? errno : e);
  return false;
}

// A hidden name beside a table: ".NAME.SUFFIX".
fs::path nascosto(const fs::path& cartella, const std::string& nome, std::string_view suffisso) {
  std::string n = ".";
  n.append(nome).append(suffisso);
  return cartella / n;
}

// One table on its way into place: its name, its new bytes under a temporary name, and the
// name the old table is set aside under.
struct Posto {
  fs::path tabella, nuovo, vecchio;
  std::string nome;
  bool cera = false;           // a table stood there before
  bool salvata = false;        // the old table is under `vecchio`
  bool nuova_al_posto = false;  // the new table is under `tabella`
};

// Sets each old table aside and puts the new one in its place; the index of the table at
// which a step failed, nothing when all are in place.
std::optional<std::size_t> metti_al_posto(std::vector<Posto>& posti, Rinomina rinomina) {
  for (std::size_t k = 0; k < posti.size(); ++k) {
    Posto& p = posti[k];
    if (p.cera) {
      if (!rinomina(p.tabella, p.vecchio)) return k;
      p.salvata = true;
    }
    if (!rinomina(p.nuovo, p.tabella)) return k;
    p.nuova_al_posto = true;
  }
  return std::nullopt;
}

// Puts every old table back, the last one moved first; false when some table could not be
// brought back to what it was.
bool rimetti(std::vector<Posto>& posti, Rinomina rinomina) {
  bool tutte = true;
  for (auto it = posti.rbegin(); it != posti.rend(); ++it) {
    Posto& p = *it;
    if (p.salvata) {
      // The old table over the new one, in one step.
      if (rinomina(p.vecchio, p.tabella)) p.salvata = p.nuova_al_posto = false;
    } else if (p.nuova_al_posto && rinomina(p.tabella, p.nuovo)) {
      p.nuova_al_posto = false;  // there was no table before: the new one goes
    }
    tutte = tutte && !p.salvata && !p.nuova_al_posto;
  }
  return tutte;
}

// Which file holds what, for a table that could not be brought back.
std::string descrivi(const Posto& p) {
  const std::string vecchia = "la tabella di prima \xE8 in " + testo_cp1252(p.vecchio);
  if (p.nuova_al_posto)
    return p.nome + ": contiene la tabella nuova; " + (p.salvata ? vecchia : "prima non c'era");
  if (p.salvata) return p.nome + ": assente; " + vecchia;
  return p.nome + (p.cera ? ": come prima" : ": assente, come prima");
}

}  // namespace

std::optional<std::string> campo_sconto(long long centesimi) {
  if (centesimi < 0) return std::nullopt;
  const std::string intero = std::to_string(centesimi / 100);
  const std::string decimali = cifre(centesimi % 100, 2);
  // Writings of the decimals, the usual one first: "1.50", then "1.5", "1.500", "1.5000"...
  std::vector<std::string> code{"." + decimali};
  if (decimali[1] == '0') code.push_back(decimali[0] == '0' ? "" : "." + decimali.substr(0, 1));
  for (std::string z = "." + decimali + "0"; z.size() <= larghezza_sconto; z += "0")
    code.push_back(z);
  for (std::size_t zeri = 0; zeri < larghezza_sconto; ++zeri) {
    for (const std::string& coda : code) {
      std::string chiaro = std::string(zeri, '0') + intero + coda;
      if (chiaro.size() > larghezza_sconto) continue;
      decriptare(chiaro);
      if (chiaro.front() != ' ' && chiaro.back() != ' ')
        return a_larghezza(chiaro, larghezza_sconto);
    }
  }
  return std::nullopt;
}

bool costruisci_tabelle(const SorgentiTabelle& sorgenti, std::vector<FileTabella>& costruite,
                        ErroreSorgente& errore) {
  costruite.clear();
  for (const std::string_view nome : sorgenti_tabelle()) {
    const auto testo = sorgenti.find(nome);
    if (testo == sorgenti.end()) continue;
    const std::vector<Tabella> tabelle = tabelle_di(nome);
    Rifiuto rifiuto;
    const bool fatto = descrittore(tabelle[0]).lunghezza_record == 0
                           ? costruisci_noese(testo->second, tabelle[0], costruite, rifiuto)
                           : costruisci_record(testo->second, tabelle, costruite, rifiuto);
    if (!fatto) {
      costruite.clear();
      errore = ErroreSorgente{std::string(nome), rifiuto.riga, rifiuto.motivo};
      return false;
    }
  }
  return true;
}

bool leggi_sorgenti(const fs::path& cartella, SorgentiTabelle& sorgenti, ErroreSorgente& errore) {
  std::error_code ec;
  if (!fs::is_directory(cartella, ec)) {
    errore = ErroreSorgente{testo_cp1252(cartella), 0, "non \xE8 una cartella leggibile"};
    return false;
  }
  for (const std::string_view nome : sorgenti_tabelle()) {
    // Read as a table is: a regular file only, so a folder or a pipe at a source's name is
    // refused with its reason instead of being waited for or read as nothing.
    std::string testo, motivo;
    switch (leggi_tabella(cartella / nome, testo, motivo)) {
      case StatoTabella::mancante:
        sorgenti.erase(std::string(nome));
        break;
      case StatoTabella::inutilizzabile:
        errore = ErroreSorgente{std::string(nome), 0, "file illeggibile: " + motivo};
        return false;
      case StatoTabella::presente:
        sorgenti.insert_or_assign(std::string(nome), std::move(testo));
        break;
    }
  }
  return true;
}

bool scrivi_tabelle(const std::vector<FileTabella>& tabelle, const fs::path& dest,
                    ErroreScrittura& errore, Rinomina rinomina) {
  if (rinomina == nullptr) rinomina = rinomina_file;
  auto rifiuta = [&errore](std::string motivo) {
    errore = ErroreScrittura{std::move(motivo), {}};
    return false;
  };
  std::error_code ec;
  fs::create_directories(dest, ec);
  if (!fs::is_directory(dest, ec)) return rifiuta("impossibile creare la cartella " + testo_cp1252(dest));
  std::vector<Posto> posti;
  for (const FileTabella& t : tabelle) {
    Posto p{dest / t.nome, nascosto(dest, t.nome, ".nuovo"), nascosto(dest, t.nome, ".vecchio"), t.nome};
    const fs::file_type tipo = fs::symlink_status(p.tabella, ec).type();
    if (tipo != fs::file_type::not_found && tipo != fs::file_type::regular && tipo != fs::file_type::symlink)
      return rifiuta(testo_cp1252(p.tabella) + " non \xE8 un file: nessuna tabella sostituita");
    p.cera = tipo != fs::file_type::not_found;
    posti.push_back(std::move(p));
  }
  auto rimuovi = [&](auto membro) {
    for (const Posto& p : posti) fs::remove(p.*membro, ec);
  };
  for (std::size_t k = 0; k < tabelle.size(); ++k) {
    std::string motivo;
    if (!scrivi_temporaneo(posti[k].nuovo, tabelle[k].contenuto, motivo)) {
      rimuovi(&Posto::nuovo);
      return rifiuta("impossibile scrivere " + testo_cp1252(posti[k].tabella) + " : " + motivo);
    }
  }
  for (Posto& p : posti) togli_di_mezzo(p.vecchio);
  const std::optional<std::size_t> fallita = metti_al_posto(posti, rinomina);
  if (!fallita) {
    rimuovi(&Posto::vecchio);
    return true;
  }
  rifiuta("impossibile sostituire " + testo_cp1252(posti[*fallita].tabella));
  if (!rimetti(posti, rinomina)) {
    for (const Posto& p : posti) errore.stato.push_back(descrivi(p));
  } else {
    rimuovi(&Posto::vecchio);
  }
  rimuovi(&Posto::nuovo);
  return false;
}

}  // namespace flussom

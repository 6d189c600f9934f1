#include "reference/costruisci_tabelle.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <numeric>
#include <system_error>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"
#include "base/testo.h"
#include "reference/criptare.h"
#include "reference/sorgente_csv.h"
#include "reference/tabelle.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// Widths of the fields the builder fills.
constexpr std::size_t larghezza_codice_terapie = 7;
constexpr std::size_t larghezza_descrizione_terapie = 50;
constexpr std::size_t larghezza_tariffa = 8;
constexpr std::size_t larghezza_codice = 6;  // COMUXX, ICD9, CODESE
constexpr std::size_t larghezza_descrizione = 40;
constexpr std::size_t numero_branche = 30;
constexpr std::size_t larghezza_sconto = 7;
constexpr std::size_t larghezza_esenzione = 6;  // the exemption field of a data line
constexpr long long tariffa_massima = 9999999;  // 99999.99 in "00000.00"

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

// The tariff as stored: five integer digits, ".", two decimals ("00012.50").
std::string tariffa_8(long long centesimi) {
  std::string t = cifre(centesimi / 100, 5) + "." + cifre(centesimi % 100, 2);
  static_assert(5 + 1 + 2 == larghezza_tariffa);
  return t;
}

std::string a_larghezza(std::string s, std::size_t larghezza) {
  s.resize(larghezza, ' ');
  return s;
}

// Specialty codes separated by blanks: each one or two digits, not zero (a zero slot reads
// as empty). Stored as two digits.
bool branche_valide(std::string_view valore, std::size_t riga, std::vector<std::string>& branche,
                    Rifiuto& errore) {
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
    branche.push_back(b.size() == 1 ? "0" + std::string(b) : std::string(b));
    i = j;
  }
  if (branche.size() > numero_branche) {
    errore = {riga, std::to_string(branche.size()) + " branche, al massimo " +
                        std::to_string(numero_branche)};
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
  struct Forma {
    std::string_view nome;
    std::size_t lunghezza;  // of a record
  };

  TabelleInOrdine(std::initializer_list<Forma> forme, std::size_t larghezza_chiave,
                  std::size_t righe)
      : larghezza_chiave_(larghezza_chiave) {
    for (const Forma& f : forme) {
      tabelle_.push_back({std::string(f.nome), {}, 0});
      tabelle_.back().contenuto.reserve(righe * f.lunghezza);
      lunghezze_.push_back(f.lunghezza);
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

// The rest of a service's records, after its key: TERAPIE.DAT's description, tariff and
// unused fields, TERA001.DAT's specialties, SCONTI.DAT's code and discount.
bool prestazione(const RigaSorgente& r, TabelleInOrdine& t, Rifiuto& errore) {
  std::string descrizione;
  long long tariffa = 0;
  std::vector<std::string> branche;
  if (!testo_valido(r.valori[1], larghezza_descrizione_terapie, "descrizione", r.riga,
                    descrizione, errore) ||
      !importo_valido(r.valori[2], "tariffa", tariffa_massima, r.riga, tariffa, errore) ||
      !branche_valide(r.valori[3], r.riga, branche, errore))
    return false;
  const std::string_view sconto = r.valori[4];
  long long centesimi = 0;
  if (!sconto.empty() &&
      !importo_valido(sconto, "sconto", tariffa_massima, r.riga, centesimi, errore))
    return false;
  std::string campo_s(larghezza_sconto, ' ');
  if (centesimi != 0) {
    std::optional<std::string> s = campo_sconto(centesimi);
    if (!s) {
      errore = {r.riga,
                "sconto " + citato(sconto) + " non memorizzabile nei 7 caratteri del campo"};
      return false;
    }
    campo_s = std::move(*s);
  }
  aggiungi(t[0], descrizione, larghezza_descrizione_terapie);
  t[0] += "  ";  // campo3
  t[0] += tariffa_8(tariffa);
  t[0].append(2, '\0');  // campo5
  std::string elenco;
  for (const std::string& b : branche) elenco += b;
  aggiungi(t[1], elenco, lunghezza_tera001);
  // The first seven bytes are not read; they carry the code so that a person looking at
  // the file can tell which service a record belongs to.
  aggiungi(t[2], r.valori[0], larghezza_codice_terapie);
  t[2] += campo_s;
  return true;
}

// TERAPIE.DAT and its parallel TERA001.DAT and SCONTI.DAT: record n of each belongs to the
// n-th service in key order.
bool costruisci_prestazioni(std::string_view testo, std::vector<FileTabella>& tabelle,
                            Rifiuto& errore) {
  SorgenteCsv sorgente;
  if (!sorgente.apri(testo,
                     {{"codice", true},
                      {"descrizione", true},
                      {"tariffa", true},
                      {"branche", false},
                      {"sconto", false}},
                     errore))
    return false;
  TabelleInOrdine t({{"TERAPIE.DAT", lunghezza_terapie},
                     {"TERA001.DAT", lunghezza_tera001},
                     {"SCONTI.DAT", lunghezza_sconti}},
                    larghezza_codice_terapie, sorgente.righe());
  std::optional<Rifiuto> guasto;
  for (RigaSorgente r; !guasto && sorgente.prossima(r);) {
    Rifiuto e;
    if (!codice_valido(r.valori[0], larghezza_codice_terapie, "codice", r.riga, e)) {
      guasto = std::move(e);
      break;
    }
    t.nuova_riga(r.valori[0], r.riga);
    if (!prestazione(r, t, e)) guasto = std::move(e);
  }
  return t.chiudi(guasto, tabelle, errore);
}

// ICD9.DAT, COMUXX.DAT, CODESE.DAT: the key and a description; the other fields are blank.
bool costruisci_codici(std::string_view testo, std::string_view nome,
                       std::vector<FileTabella>& tabelle, Rifiuto& errore) {
  SorgenteCsv sorgente;
  if (!sorgente.apri(testo, {{"codice", true}, {"descrizione", true}}, errore)) return false;
  TabelleInOrdine t({{nome, lunghezza_codici}}, larghezza_codice, sorgente.righe());
  std::optional<Rifiuto> guasto;
  std::string descrizione;
  for (RigaSorgente r; !guasto && sorgente.prossima(r);) {
    Rifiuto e;
    if (!codice_valido(r.valori[0], larghezza_codice, "codice", r.riga, e)) {
      guasto = std::move(e);
      break;
    }
    t.nuova_riga(r.valori[0], r.riga);
    if (testo_valido(r.valori[1], larghezza_descrizione, "descrizione", r.riga, descrizione, e))
      aggiungi(t[0], descrizione, lunghezza_codici - larghezza_codice);
    else
      guasto = std::move(e);
  }
  return t.chiudi(guasto, tabelle, errore);
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
// every field quoted; the exemption codes go into field 2, each with "*" in front.
bool costruisci_noese(std::string_view testo, std::vector<FileTabella>& tabelle, Rifiuto& errore) {
  SorgenteCsv sorgente;
  if (!sorgente.apri(testo, {{"prestazione", true}, {"esenzioni", true}}, errore)) return false;
  FileTabella t{"NOESE.DAT", {}, sorgente.righe()};
  // A record is its two values, at most one "*" more than their bytes in the source, and 16
  // bytes of quotes, commas and line end: room for all of them is set aside at once.
  t.contenuto.reserve(testo.size() + 16 * sorgente.righe());
  std::string elenco;
  for (RigaSorgente r; sorgente.prossima(r);) {
    const std::string_view prestazione = r.valori[0];
    elenco.clear();
    if (!codice_valido(prestazione, larghezza_codice_terapie, "codice di prestazione", r.riga,
                       errore) ||
        !elenco_esenzioni(r.valori[1], r.riga, elenco, errore))
      return false;
    t.contenuto.append("\"").append(prestazione).append("\",\"").append(elenco);
    t.contenuto += "\",\"\",\"\",\"\"\r\n";
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
std::optional<std::string> scrivi_temporaneo(const fs::path& tmp, const std::string& contenuto) {
  togli_di_mezzo(tmp);
  std::string errore;
  std::FILE* f = crea_file_nuovo(tmp, errore);
  if (!f) return errore;
  const bool scritto = std::fwrite(contenuto.data(), 1, contenuto.size(), f) == contenuto.size();
  const int e = errno;
  if (std::fclose(f) != 0 || !scritto) return testo_errno(scritto ? errno : e);
  return std::nullopt;
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

EsitoCostruzione costruisci_tabelle(const SorgentiTabelle& sorgenti) {
  EsitoCostruzione esito;
  Rifiuto errore;
  auto rifiuta = [&](std::string_view file) {
    esito.tabelle.clear();
    esito.errore = ErroreSorgente{std::string(file), errore.riga, errore.motivo};
    return esito;
  };
  if (sorgenti.prestazioni && !costruisci_prestazioni(*sorgenti.prestazioni, esito.tabelle, errore))
    return rifiuta(sorgente_prestazioni);
  if (sorgenti.diagnosi &&
      !costruisci_codici(*sorgenti.diagnosi, "ICD9.DAT", esito.tabelle, errore))
    return rifiuta(sorgente_diagnosi);
  if (sorgenti.comuni && !costruisci_codici(*sorgenti.comuni, "COMUXX.DAT", esito.tabelle, errore))
    return rifiuta(sorgente_comuni);
  if (sorgenti.esenzioni &&
      !costruisci_codici(*sorgenti.esenzioni, "CODESE.DAT", esito.tabelle, errore))
    return rifiuta(sorgente_esenzioni);
  if (sorgenti.noese && !costruisci_noese(*sorgenti.noese, esito.tabelle, errore))
    return rifiuta(sorgente_noese);
  return esito;
}

std::optional<ErroreSorgente> leggi_sorgenti(const fs::path& cartella, SorgentiTabelle& sorgenti) {
  std::error_code ec;
  if (!fs::is_directory(cartella, ec))
    return ErroreSorgente{testo_cp1252(cartella), 0, "non \xE8 una cartella leggibile"};
  const std::pair<std::string_view, std::optional<std::string>*> file[] = {
      {sorgente_prestazioni, &sorgenti.prestazioni},
      {sorgente_diagnosi, &sorgenti.diagnosi},
      {sorgente_comuni, &sorgenti.comuni},
      {sorgente_esenzioni, &sorgenti.esenzioni},
      {sorgente_noese, &sorgenti.noese},
  };
  for (const auto& [nome, dove] : file) {
    // Read as a table is: a regular file only, so a folder or a pipe at a source's name is
    // refused with its reason instead of being waited for or read as nothing.
    std::string testo, motivo;
    switch (leggi_tabella(cartella / nome, testo, motivo)) {
      case StatoTabella::mancante:
        dove->reset();
        break;
      case StatoTabella::inutilizzabile:
        return ErroreSorgente{std::string(nome), 0, "file illeggibile: " + motivo};
      case StatoTabella::presente:
        *dove = std::move(testo);
        break;
    }
  }
  return std::nullopt;
}

std::optional<ErroreScrittura> scrivi_tabelle(const std::vector<FileTabella>& tabelle,
                                              const fs::path& dest, Rinomina rinomina) {
  if (rinomina == nullptr) rinomina = rinomina_file;
  std::error_code ec;
  fs::create_directories(dest, ec);
  if (!fs::is_directory(dest, ec))
    return ErroreScrittura{"impossibile creare la cartella " + testo_cp1252(dest), {}};
  std::vector<Posto> posti;
  for (const FileTabella& t : tabelle) {
    Posto p{dest / t.nome, nascosto(dest, t.nome, ".nuovo"), nascosto(dest, t.nome, ".vecchio"), t.nome};
    const fs::file_type tipo = fs::symlink_status(p.tabella, ec).type();
    if (tipo != fs::file_type::not_found && tipo != fs::file_type::regular && tipo != fs::file_type::symlink)
      return ErroreScrittura{testo_cp1252(p.tabella) + " non \xE8 un file: nessuna tabella sostituita", {}};
    p.cera = tipo != fs::file_type::not_found;
    posti.push_back(std::move(p));
  }
  auto rimuovi = [&](auto membro) {
    for (const Posto& p : posti) fs::remove(p.*membro, ec);
  };
  for (std::size_t k = 0; k < tabelle.size(); ++k) {
    if (std::optional<std::string> e = scrivi_temporaneo(posti[k].nuovo, tabelle[k].contenuto)) {
      rimuovi(&Posto::nuovo);
      return ErroreScrittura{"impossibile scrivere " + testo_cp1252(posti[k].tabella) + " : " + *e, {}};
    }
  }
  for (Posto& p : posti) togli_di_mezzo(p.vecchio);
  const std::optional<std::size_t> fallita = metti_al_posto(posti, rinomina);
  if (!fallita) {
    rimuovi(&Posto::vecchio);
    return std::nullopt;
  }
  ErroreScrittura errore{"impossibile sostituire " + testo_cp1252(posti[*fallita].tabella), {}};
  if (!rimetti(posti, rinomina)) {
    for (const Posto& p : posti) errore.stato.push_back(descrivi(p));
  } else {
    rimuovi(&Posto::vecchio);
  }
  rimuovi(&Posto::nuovo);
  return errore;
}

}  // namespace flussom

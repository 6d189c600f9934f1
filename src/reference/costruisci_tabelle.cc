#include "reference/costruisci_tabelle.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <system_error>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"
#include "reference/criptare.h"
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

// A fault found in a source: the line and the reason (Windows-1252).
struct Rifiuto {
  std::size_t riga = 0;
  std::string motivo;
};

struct RigaCsv {
  std::size_t riga = 0;  // line on which the record begins
  std::vector<std::string> campi;
};

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string senza_blank(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && blank(s[a])) ++a;
  while (b > a && blank(s[b - 1])) --b;
  return std::string(s.substr(a, b - a));
}

// A source value quoted in a message (messages are Windows-1252).
std::string citato(std::string_view utf8) { return "\"" + utf8_a_cp1252(utf8) + "\""; }

// Splits a CSV text into records: fields separated by commas, records by CR LF, LF or CR;
// a field in double quotes may hold commas, line breaks and doubled quotes. Blanks around a
// field are dropped, and a record whose fields are all empty (an empty line, or a spreadsheet's
// ",,,,") is no record.
bool leggi_csv(std::string_view testo, std::vector<RigaCsv>& righe, Rifiuto& errore) {
  if (testo.starts_with("\xEF\xBB\xBF")) testo.remove_prefix(3);  // spreadsheets add a BOM
  const std::size_t n = testo.size();
  std::size_t i = 0;
  std::size_t riga = 1;
  // Consumes a line break at i (if any) and counts it.
  auto a_capo = [&]() -> bool {
    if (i < n && testo[i] == '\r') {
      ++i;
      if (i < n && testo[i] == '\n') ++i;
      ++riga;
      return true;
    }
    if (i < n && testo[i] == '\n') {
      ++i;
      ++riga;
      return true;
    }
    return false;
  };
  while (i < n) {
    RigaCsv r;
    r.riga = riga;
    for (;;) {
      std::string campo;
      std::size_t j = i;
      while (j < n && blank(testo[j])) ++j;
      if (j < n && testo[j] == '"') {
        const std::size_t riga_apertura = riga;
        i = j + 1;
        for (;;) {
          if (i >= n) {
            errore = {riga_apertura, "virgolette aperte e mai chiuse"};
            return false;
          }
          if (testo[i] == '"') {
            if (i + 1 < n && testo[i + 1] == '"') {
              campo += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (testo[i] == '\r' || testo[i] == '\n') {
            const std::size_t inizio = i;
            a_capo();
            campo.append(testo.substr(inizio, i - inizio));
            continue;
          }
          campo += testo[i++];
        }
        while (i < n && blank(testo[i])) ++i;
        if (i < n && testo[i] != ',' && testo[i] != '\r' && testo[i] != '\n') {
          errore = {riga, "caratteri dopo le virgolette che chiudono un campo"};
          return false;
        }
      } else {
        while (i < n && testo[i] != ',' && testo[i] != '\r' && testo[i] != '\n') {
          if (testo[i] == '"') {
            errore = {riga, "virgolette dentro un campo che non comincia con le virgolette"};
            return false;
          }
          campo += testo[i++];
        }
      }
      r.campi.push_back(senza_blank(campo));
      if (i < n && testo[i] == ',') {
        ++i;
        continue;
      }
      a_capo();
      break;
    }
    const bool vuota =
        std::all_of(r.campi.begin(), r.campi.end(), [](const std::string& c) { return c.empty(); });
    if (!vuota) righe.push_back(std::move(r));
  }
  return true;
}

struct Colonna {
  std::string_view nome;
  bool obbligatoria;
};

std::string minuscolo(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Splits a source into its records and finds the wanted columns by name in the header
// (case ignored, order free, other columns ignored). indici[k] is the position of column k,
// or -1 for an optional column that is not there. Every record must have as many fields as
// the header.
bool leggi_sorgente(std::string_view testo, std::initializer_list<Colonna> colonne,
                    std::vector<RigaCsv>& righe, std::vector<int>& indici, Rifiuto& errore) {
  if (!leggi_csv(testo, righe, errore)) return false;
  if (righe.empty()) {
    errore = {0, "file vuoto: manca la riga d'intestazione"};
    return false;
  }
  const RigaCsv intestazione = righe.front();
  righe.erase(righe.begin());
  std::map<std::string, std::size_t> posizioni;
  for (std::size_t k = 0; k < intestazione.campi.size(); ++k) {
    const std::string nome = minuscolo(intestazione.campi[k]);
    if (nome.empty()) continue;
    if (!posizioni.emplace(nome, k).second) {
      errore = {intestazione.riga, "colonna " + citato(nome) + " ripetuta nell'intestazione"};
      return false;
    }
  }
  indici.clear();
  for (const Colonna& c : colonne) {
    auto it = posizioni.find(std::string(c.nome));
    if (it == posizioni.end()) {
      if (c.obbligatoria) {
        errore = {intestazione.riga, "manca la colonna \"" + std::string(c.nome) + "\""};
        return false;
      }
      indici.push_back(-1);
    } else {
      indici.push_back(static_cast<int>(it->second));
    }
  }
  for (const RigaCsv& r : righe) {
    if (r.campi.size() != intestazione.campi.size()) {
      errore = {r.riga, std::to_string(r.campi.size()) + " campi invece dei " +
                            std::to_string(intestazione.campi.size()) + " dell'intestazione"};
      return false;
    }
  }
  return true;
}

const std::string& campo(const RigaCsv& r, int indice) {
  static const std::string vuoto;
  return indice < 0 ? vuoto : r.campi[static_cast<std::size_t>(indice)];
}

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

// Keeps the first line of every key to name it when the key comes again.
bool non_ripetuto(std::map<std::string, std::size_t>& viste, const std::string& codice,
                  std::size_t riga, Rifiuto& errore) {
  auto [it, nuovo] = viste.emplace(codice, riga);
  if (!nuovo) {
    errore = {riga, "codice " + citato(codice) + " ripetuto (gi\xE0 alla riga " +
                        std::to_string(it->second) + ")"};
    return false;
  }
  return true;
}

struct Prestazione {
  std::string codice;
  std::string descrizione;
  std::string tariffa;
  std::vector<std::string> branche;
  std::string sconto;  // the 7-byte field
};

// TERAPIE.DAT and its parallel TERA001.DAT and SCONTI.DAT: record n of each belongs to the
// n-th service in key order.
bool costruisci_prestazioni(std::string_view testo, std::vector<FileTabella>& tabelle,
                            Rifiuto& errore) {
  std::vector<RigaCsv> righe;
  std::vector<int> col;
  if (!leggi_sorgente(testo,
                      {{"codice", true},
                       {"descrizione", true},
                       {"tariffa", true},
                       {"branche", false},
                       {"sconto", false}},
                      righe, col, errore))
    return false;
  std::vector<Prestazione> prestazioni;
  std::map<std::string, std::size_t> viste;
  for (const RigaCsv& r : righe) {
    Prestazione p;
    p.codice = campo(r, col[0]);
    if (!codice_valido(p.codice, larghezza_codice_terapie, "codice", r.riga, errore) ||
        !non_ripetuto(viste, p.codice, r.riga, errore) ||
        !testo_valido(campo(r, col[1]), larghezza_descrizione_terapie, "descrizione", r.riga,
                      p.descrizione, errore))
      return false;
    long long tariffa = 0;
    if (!importo_valido(campo(r, col[2]), "tariffa", tariffa_massima, r.riga, tariffa, errore) ||
        !branche_valide(campo(r, col[3]), r.riga, p.branche, errore))
      return false;
    p.tariffa = tariffa_8(tariffa);
    const std::string& sconto = campo(r, col[4]);
    long long centesimi = 0;
    if (!sconto.empty() &&
        !importo_valido(sconto, "sconto", tariffa_massima, r.riga, centesimi, errore))
      return false;
    if (centesimi == 0) {
      p.sconto.assign(larghezza_sconto, ' ');
    } else {
      std::optional<std::string> s = campo_sconto(centesimi);
      if (!s) {
        errore = {r.riga,
                  "sconto " + citato(sconto) + " non memorizzabile nei 7 caratteri del campo"};
        return false;
      }
      p.sconto = std::move(*s);
    }
    prestazioni.push_back(std::move(p));
  }
  std::sort(prestazioni.begin(), prestazioni.end(),
            [](const Prestazione& a, const Prestazione& b) { return a.codice < b.codice; });

  FileTabella terapie{"TERAPIE.DAT", {}, prestazioni.size()};
  FileTabella tera001{"TERA001.DAT", {}, prestazioni.size()};
  FileTabella sconti{"SCONTI.DAT", {}, prestazioni.size()};
  for (const Prestazione& p : prestazioni) {
    terapie.contenuto += a_larghezza(p.codice, larghezza_codice_terapie);
    terapie.contenuto += a_larghezza(p.descrizione, larghezza_descrizione_terapie);
    terapie.contenuto += "  ";  // campo3
    terapie.contenuto += p.tariffa;
    terapie.contenuto.append(2, '\0');  // campo5
    std::string branche;
    for (const std::string& b : p.branche) branche += b;
    tera001.contenuto += a_larghezza(branche, lunghezza_tera001);
    // The first seven bytes are not read; they carry the code so that a person looking at
    // the file can tell which service a record belongs to.
    sconti.contenuto += a_larghezza(p.codice, larghezza_codice_terapie) + p.sconto;
  }
  tabelle.push_back(std::move(terapie));
  tabelle.push_back(std::move(tera001));
  tabelle.push_back(std::move(sconti));
  return true;
}

// ICD9.DAT, COMUXX.DAT, CODESE.DAT: the key and a description; the other fields are blank.
bool costruisci_codici(std::string_view testo, std::string_view nome,
                       std::vector<FileTabella>& tabelle, Rifiuto& errore) {
  std::vector<RigaCsv> righe;
  std::vector<int> col;
  if (!leggi_sorgente(testo, {{"codice", true}, {"descrizione", true}}, righe, col, errore))
    return false;
  std::map<std::string, std::string> codici;  // ordinal order of the key
  std::map<std::string, std::size_t> viste;
  for (const RigaCsv& r : righe) {
    const std::string& codice = campo(r, col[0]);
    std::string descrizione;
    if (!codice_valido(codice, larghezza_codice, "codice", r.riga, errore) ||
        !non_ripetuto(viste, codice, r.riga, errore) ||
        !testo_valido(campo(r, col[1]), larghezza_descrizione, "descrizione", r.riga, descrizione,
                      errore))
      return false;
    codici.emplace(codice, std::move(descrizione));
  }
  FileTabella t{std::string(nome), {}, codici.size()};
  for (const auto& [codice, descrizione] : codici) {
    t.contenuto += a_larghezza(codice, larghezza_codice);
    t.contenuto += a_larghezza(descrizione, lunghezza_codici - larghezza_codice);
  }
  tabelle.push_back(std::move(t));
  return true;
}

// NOESE.DAT: one record per source line, in the source's order (a service may have several),
// every field quoted; the exemption codes go into field 2, each with "*" in front.
bool costruisci_noese(std::string_view testo, std::vector<FileTabella>& tabelle, Rifiuto& errore) {
  std::vector<RigaCsv> righe;
  std::vector<int> col;
  if (!leggi_sorgente(testo, {{"prestazione", true}, {"esenzioni", true}}, righe, col, errore))
    return false;
  FileTabella t{"NOESE.DAT", {}, righe.size()};
  for (const RigaCsv& r : righe) {
    const std::string& prestazione = campo(r, col[0]);
    if (!codice_valido(prestazione, larghezza_codice_terapie, "codice di prestazione", r.riga,
                       errore))
      return false;
    std::string elenco;
    const std::string& esenzioni = campo(r, col[1]);
    std::size_t i = 0;
    while (i < esenzioni.size()) {
      if (blank(esenzioni[i])) {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < esenzioni.size() && !blank(esenzioni[j])) ++j;
      const std::string codice = esenzioni.substr(i, j - i);
      if (!codice_valido(codice, larghezza_esenzione, "codice di esenzione", r.riga, errore))
        return false;
      if (codice.find_first_of("*\",") != std::string::npos) {
        errore = {r.riga,
                  "codice di esenzione " + citato(codice) + " con \"*\", virgolette o virgola"};
        return false;
      }
      elenco += "*" + codice;
      i = j;
    }
    t.contenuto += "\"" + prestazione + "\",\"" + elenco + "\",\"\",\"\",\"\"\r\n";
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

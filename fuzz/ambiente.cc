#include "ambiente.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "base/cp1252.h"
#include "generatore.h"
#include "reference/costruisci_tabelle.h"

namespace flussom::fuzz {

namespace fs = std::filesystem;

namespace {

// Few municipalities keep the tables, and the table fuzzer's input, small.
constexpr int comuni_tenuti = 30;

std::string prime_righe(const std::string& testo, int n) {
  std::size_t i = 0;
  for (int k = 0; k <= n && i != std::string::npos; ++k) {
    i = testo.find('\n', i);
    if (i != std::string::npos) ++i;
  }
  return i == std::string::npos ? testo : testo.substr(0, i);
}

Ambiente costruisci() {
  Ambiente a;
  std::random_device rd;
  std::error_code ec;
  for (;;) {
    a.radice = fs::temp_directory_path() / ("flussom-fuzz-" + std::to_string(rd()));
    if (fs::create_directory(a.radice, ec)) break;
    if (ec) guasto("cartella temporanea non creata: " + ec.message());
  }
  a.cartella = a.radice / "app";
  a.dati = a.radice / "dati";
  fs::create_directories(a.cartella);
  fs::create_directories(a.dati);

  SorgentiTabelle sorgenti;
  ErroreSorgente rifiuto;
  if (!leggi_sorgenti(fs::path(FLUSSOM_SORGENTI) / "tabelle", sorgenti, rifiuto))
    guasto("sorgenti delle tabelle non lette: " + rifiuto.file + ": " + cp1252_a_utf8(rifiuto.motivo));
  const auto comuni = sorgenti.find(descrittore(Tabella::comuxx).sorgente);
  if (comuni != sorgenti.end()) comuni->second = prime_righe(comuni->second, comuni_tenuti);
  std::vector<FileTabella> tabelle;
  if (!costruisci_tabelle(sorgenti, tabelle, rifiuto))
    guasto("tabelle rifiutate: " + rifiuto.file + ": " + cp1252_a_utf8(rifiuto.motivo));
  if (ErroreScrittura e; !scrivi_tabelle(tabelle, a.cartella, e))
    guasto("tabelle non scritte: " + cp1252_a_utf8(e.motivo));
  scrivi(a.cartella / "strutture.DAT", "\"123456\",\"POLIAMBULATORIO FUZZ\",\"26\",\"08\",\"\"\r\n");
  for (const std::string_view nome : nomi_tabelle) {
    if (!fs::is_regular_file(a.cartella / nome)) guasto("tabella mancante: " + std::string(nome));
    a.contenuti.push_back(leggi(a.cartella / nome));
  }
  return a;
}

void rimuovi_radice() {
  std::error_code ec;
  fs::remove_all(ambiente().radice, ec);
}

}  // namespace

bool creata_se_manca(std::string_view nome) {
  for (const DescrittoreTabella& d : descrittori)
    if (d.nome == nome) return d.crea_se_manca;
  return false;
}

const Ambiente& ambiente() {
  static const Ambiente a = costruisci();
  static const bool registrato = (std::atexit(rimuovi_radice), true);
  (void)registrato;
  return a;
}

std::string genera_dati(std::uint64_t righe, double quota_errori, std::uint64_t seme) {
  OpzioniGeneratore o;
  o.righe = righe;
  o.quota_errori = quota_errori;
  o.seme = seme;
  std::ostringstream out;
  if (genera_file(out, ambiente().cartella, o) == 0) guasto("il generatore non ha scritto righe");
  return out.str();
}

const Orologio& orologio_fisso() {
  static const OrologioFisso o{std::chrono::year{2026} / 12 / 6};
  return o;
}

std::string leggi(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void scrivi(const fs::path& p, std::string_view contenuto) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
  out.close();
  if (!out) guasto("file non scritto: " + p.string());
}

std::uint64_t conta_righe(std::string_view dati) {
  std::uint64_t n = 0;
  bool aperta = false;
  for (std::size_t i = 0; i < dati.size(); ++i) {
    const char c = dati[i];
    if (c == '\r' || c == '\n') {
      ++n;
      aperta = false;
      if (c == '\r' && i + 1 < dati.size() && dati[i + 1] == '\n') ++i;
    } else {
      aperta = true;
    }
  }
  return n + (aperta ? 1 : 0);
}

void guasto(const std::string& cosa) {
  std::fprintf(stderr, "GUASTO: %s\n", cosa.c_str());
  std::fflush(stderr);
  std::abort();
}

std::string sorgente_di_esempio(std::string_view nome) {
  const std::string testo = leggi(fs::path(FLUSSOM_SORGENTI) / "tabelle" / nome);
  return nome == descrittore(Tabella::comuxx).sorgente ? prime_righe(testo, comuni_tenuti) : testo;
}

std::vector<std::string_view> dividi_parti(std::string_view ingresso) {
  std::vector<std::string_view> parti;
  for (;;) {
    const std::size_t i = ingresso.find(separatore);
    if (i == std::string_view::npos || parti.size() + 1 == nomi_tabelle.size()) {
      parti.push_back(ingresso);
      return parti;
    }
    parti.push_back(ingresso.substr(0, i));
    ingresso.remove_prefix(i + separatore.size());
  }
}

namespace {

bool utf8_valido(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

// The rows of a CSV text of ours, their cells unquoted: ";" between cells, a quoted cell
// runs to its closing quote (a doubled quote inside it is one), CR LF outside quotes ends a
// row, and the last row ends so too.
std::vector<std::vector<std::string>> righe_csv(std::string_view testo) {
  std::vector<std::vector<std::string>> righe;
  std::vector<std::string> c(1);
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == ';') {
      c.emplace_back();
    } else if (testo[i] == '"' && c.back().empty()) {
      for (++i; i < testo.size() && !(testo[i] == '"' && (i + 1 == testo.size() || testo[i + 1] != '"')); ++i)
        c.back() += testo[i] == '"' ? testo[++i] : testo[i];
    } else if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') {
      righe.push_back(std::move(c));
      c.assign(1, std::string());
      ++i;
    } else {
      c.back() += testo[i];
    }
  }
  if (c.size() > 1 || !c[0].empty()) guasto("ultima riga di un CSV senza CR LF");
  return righe;
}

}  // namespace

void controlla_csv(std::string_view testo, std::size_t righe, std::size_t celle) {
  if (!utf8_valido(testo)) guasto("CSV non UTF-8");
  const std::vector<std::vector<std::string>> r = righe_csv(testo);
  if (r.size() != righe) guasto("CSV di " + std::to_string(r.size()) + " righe invece di " + std::to_string(righe));
  for (const std::vector<std::string>& c : r) {
    if (c.size() != celle) guasto("riga di CSV di " + std::to_string(c.size()) + " celle");
    for (const std::string& x : c) {
      if (x.empty()) continue;
      // Our own negative amounts begin with a minus and a digit; anything else so begun is text.
      const bool numero_negativo = x[0] == '-' && x.size() > 1 && x[1] >= '0' && x[1] <= '9';
      if (std::string_view("=+-@\t\r").find(x[0]) == std::string_view::npos || numero_negativo) continue;
      guasto("cella di CSV presa per una formula: " + x);
    }
  }
}

}  // namespace flussom::fuzz

#include "reference/tabelle.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

#include "base/campi_csv.h"
#include "base/file_sicuro.h"
#include "base/testo.h"
#include "reference/criptare.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// A bounded memo: a file full of distinct wrong codes must not grow it without end.
constexpr std::size_t massimo_risposte = 1u << 16;

}  // namespace

TabellaRecord::TabellaRecord(fs::path file, std::size_t lunghezza_record, bool crea_se_manca)
    : file_(std::move(file)), lunghezza_record_(lunghezza_record), crea_se_manca_(crea_se_manca) {}

void TabellaRecord::carica() {
  if (caricata_) return;
  caricata_ = true;
  std::string motivo;
  const StatoTabella stato = leggi_tabella(file_, dati_, motivo);
  if (stato == StatoTabella::mancante && crea_se_manca_) {
    // Created exclusively, in the folder, never through a link: whatever appears at the
    // name meanwhile is left alone. A folder where the file cannot be created leaves a
    // table with no records.
    std::string errore;
    if (std::FILE* f = crea_file_nuovo(file_, errore)) std::fclose(f);
  }
  tieni_record_interi();
}

void TabellaRecord::tieni_record_interi() {
  // A partial last record is never read.
  quanti_record_ = lunghezza_record_ == 0 ? 0 : dati_.size() / lunghezza_record_;
  dati_.resize(quanti_record_ * lunghezza_record_);
}

void TabellaRecord::carica_da(std::string contenuto) {
  dati_ = std::move(contenuto);
  caricata_ = true;
  ++versione_;
  risposte_.clear();
  quante_risposte_ = 0;
  tieni_record_interi();
}

std::size_t TabellaRecord::numero_record() {
  carica();
  return quanti_record_;
}

std::string_view TabellaRecord::record(std::size_t n) {
  // Asked several times a line: the count is kept, not divided out each time.
  if (!caricata_) carica();
  if (n == 0 || n > quanti_record_) return {};
  return std::string_view(dati_.data() + (n - 1) * lunghezza_record_, lunghezza_record_);
}

std::size_t TabellaRecord::bisezione(std::string_view codice, std::size_t larghezza_chiave) const {
  const std::string_view dati = dati_;
  std::size_t basso = 1;
  std::size_t alto = quanti_record_;
  while (basso <= alto) {
    const std::size_t medio = (basso + alto) / 2;
    const std::string_view chiave = trim(dati.substr((medio - 1) * lunghezza_record_,
                                                     std::min(larghezza_chiave, lunghezza_record_)));
    // string_view compares bytes as unsigned values and a prefix as the smaller.
    const int confronto = codice.compare(chiave);
    if (confronto > 0)
      basso = medio + 1;
    else if (confronto < 0)
      alto = medio - 1;
    else
      return medio;
  }
  return 0;
}

namespace {

// The bytes of a code of at most 8 as one word: its first and last four, overlapping, or
// when shorter its first, middle and last byte. Of two codes of the same length, the
// words are equal only when the codes are.
std::uint64_t parola_codice(std::string_view c) {
  const char* p = c.data();
  const std::size_t n = c.size();
  if (n >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, p, 4);
    std::memcpy(&b, p + n - 4, 4);
    return a | std::uint64_t{b} << 32;
  }
  if (n == 0) return 0;
  return static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) << 8 |
         static_cast<unsigned char>(p[n - 1]) << 16;
}

}  // namespace

std::size_t TabellaRecord::posto_risposta(std::uint64_t codice, std::size_t lunghezza) const {
  // Linear probing from a multiplicative hash of the code and its length.
  std::uint64_t h = codice * 0x9E3779B97F4A7C15u ^ lunghezza * 0xC2B2AE3D27D4EB4Fu;
  h ^= h >> 29;
  const std::size_t maschera = risposte_.size() - 1;
  std::size_t i = static_cast<std::size_t>(h ^ (h >> 32)) & maschera;
  while (risposte_[i].usata && !(risposte_[i].codice == codice && risposte_[i].lunghezza == lunghezza))
    i = (i + 1) & maschera;
  return i;
}

void TabellaRecord::ricorda(std::uint64_t codice, std::size_t lunghezza, std::size_t numero) {
  if (numero > UINT32_MAX) return;
  if (quante_risposte_ >= massimo_risposte) {
    risposte_.clear();
    quante_risposte_ = 0;
  }
  // At most half full, so that a run of neighbouring slots stays short.
  if (2 * (quante_risposte_ + 1) > risposte_.size()) {
    std::vector<Risposta> vecchie(risposte_.empty() ? 64 : 2 * risposte_.size());
    vecchie.swap(risposte_);
    for (const Risposta& r : vecchie)
      if (r.usata) risposte_[posto_risposta(r.codice, r.lunghezza)] = r;
  }
  risposte_[posto_risposta(codice, lunghezza)] = {codice, static_cast<std::uint32_t>(numero),
                                                  static_cast<std::uint8_t>(lunghezza), true};
  ++quante_risposte_;
}

std::size_t TabellaRecord::cerca(std::string_view codice, std::size_t larghezza_chiave) {
  carica();
  if (codice.size() > massimo_ricordato) return bisezione(codice, larghezza_chiave);
  if (larghezza_chiave != larghezza_risposte_) {
    risposte_.clear();
    quante_risposte_ = 0;
    larghezza_risposte_ = larghezza_chiave;
  }
  const std::uint64_t parola = parola_codice(codice);
  if (!risposte_.empty()) {
    const Risposta& r = risposte_[posto_risposta(parola, codice.size())];
    if (r.usata) return r.numero;
  }
  const std::size_t numero = bisezione(codice, larghezza_chiave);
  ricorda(parola, codice.size(), numero);
  return numero;
}

Tabelle::Tabelle(fs::path cartella) : cartella_(std::move(cartella)) {
  tabelle_.reserve(numero_tabelle);
  for (const DescrittoreTabella& d : descrittori)
    tabelle_.emplace_back(cartella_ / d.nome, d.lunghezza_record, d.crea_se_manca);
}

namespace {

constexpr CampoTabella campo_branche = campo(Tabella::tera001, "branche");
constexpr std::size_t slot_branche = campo_branche.lunghezza / larghezza_branca;

// valnum of a two-character slot. Slots of digits and blanks, the usual ones, are read here
// (blanks ignored, as valnum ignores them).
double valore_slot(std::string_view branche, std::size_t i) {
  const auto cifra = [](char c) { return c >= '0' && c <= '9'; };
  const char a = branche[larghezza_branca * i], b = branche[larghezza_branca * i + 1];
  if (cifra(a) && cifra(b)) return (a - '0') * 10 + (b - '0');
  if (a == ' ' && cifra(b)) return b - '0';
  if (cifra(a) && b == ' ') return a - '0';
  if (a == ' ' && b == ' ') return 0;
  return valnum(branche.substr(larghezza_branca * i, larghezza_branca));
}

// The bit of a whole number from 0 to 99, false for any other value.
bool bit_branca(double v, std::size_t& bit) {
  if (!(v >= 0 && v < 100) || v != static_cast<double>(static_cast<int>(v))) return false;
  bit = static_cast<std::size_t>(v);
  return true;
}

// The specialties of a TERA001.DAT branche field, as VocePrestazione keeps them.
void leggi_branche(std::string_view branche, VocePrestazione& v) {
  v.branche = branche;
  // A record of blanks, or none, lists no specialty: every slot reads 0.
  v.ogni_branca = trim(branche).empty();
  if (v.ogni_branca) return;
  std::size_t vuoti = 0;
  for (std::size_t i = 0; i < slot_branche; ++i) {
    const double b = valore_slot(branche, i);
    if (b == 0) ++vuoti;
    std::size_t bit;
    if (bit_branca(b, bit))
      v.bit_branche[bit / 64] |= std::uint64_t{1} << (bit % 64);
    else
      v.slot_irregolari = true;
  }
  v.ogni_branca = vuoti == slot_branche;
}

}  // namespace

bool branca_consona(const VocePrestazione& v, std::string_view cod_branca) {
  if (v.ogni_branca) return true;
  const double branca = valnum(cod_branca);
  if (!v.slot_irregolari) {
    std::size_t bit;
    return bit_branca(branca, bit) && (v.bit_branche[bit / 64] >> (bit % 64) & 1) != 0;
  }
  for (std::size_t i = 0; i < slot_branche; ++i)
    if (branca == valore_slot(v.branche, i)) return true;
  return false;
}

const VocePrestazione& Tabelle::prestazione(std::size_t numero) {
  static const VocePrestazione nessuna{{}, 0, {}, true};
  TabellaRecord& terapie = this->terapie();
  TabellaRecord& tera001 = this->tera001();
  // Loaded before their versions are read.
  if (numero == 0 || numero > terapie.numero_record()) return nessuna;
  tera001.numero_record();
  if (versioni_prestazioni_[0] != terapie.versione() || versioni_prestazioni_[1] != tera001.versione() ||
      prestazioni_.size() != terapie.numero_record()) {
    prestazioni_.assign(terapie.numero_record(), {});
    versioni_prestazioni_[0] = terapie.versione();
    versioni_prestazioni_[1] = tera001.versione();
  }
  VocePrestazione& v = prestazioni_[numero - 1];
  if (!v.pronta) {
    v.tariffa = valore(terapie.record(numero), campo(Tabella::terapie, "tariffa"));
    v.valore_tariffa = valnum(v.tariffa);
    leggi_branche(valore(tera001.record(numero), campo_branche), v);
    v.pronta = true;
  }
  return v;
}

// A NOESE.DAT record is read as its service (the key, the first field) and exemption lists.
static_assert(descrittore(Tabella::noese).chiave == 0);

RecNoese ElencoNoese::operator[](std::size_t i) const {
  const VoceNoese& v = prima_[i];
  LettoreCampi lettore(dati_, {static_cast<std::size_t>(v.punto / 2), v.punto % 2 == 1});
  std::array<std::string_view, campi_record_noese> campi;
  lettore.prossimo_record(campi);
  RecNoese r{dati_.substr(v.prestazione, v.lunghezza), {}};
  std::copy(campi.begin() + 1, campi.end(), r.esenzioni);
  return r;
}

std::optional<ElencoNoese> Tabelle::noese(std::string_view prestazione) {
  if (!noese_letta_) {
    std::string contenuto;
    // A missing or unusable NOESE.DAT covers every service with every exemption.
    std::string motivo;
    leggi_tabella(cartella_ / descrittore(Tabella::noese).nome, contenuto, motivo);
    carica_noese_da(std::move(contenuto));
  }
  const std::string_view cercata = trim(prestazione);
  const std::string_view dati = noese_dati_;
  const auto chiave = [dati](const VoceNoese& v) { return dati.substr(v.prestazione, v.lunghezza); };
  const auto da = std::lower_bound(noese_voci_.begin(), noese_voci_.end(), cercata,
                                   [&](const VoceNoese& v, std::string_view c) { return chiave(v) < c; });
  const auto a = std::upper_bound(da, noese_voci_.end(), cercata,
                                  [&](std::string_view c, const VoceNoese& v) { return c < chiave(v); });
  if (da == a) return std::nullopt;
  return ElencoNoese(dati, &*da, static_cast<std::size_t>(a - da));
}

void Tabelle::carica_noese_da(std::string contenuto) {
  noese_letta_ = true;
  noese_voci_.clear();
  noese_dati_.clear();
  // Offsets are kept in 32 bits: an exemption table of 4 GB is no table.
  if (contenuto.size() > UINT32_MAX) return;
  noese_dati_ = std::move(contenuto);
  const std::string_view dati = noese_dati_;
  std::array<std::string_view, campi_record_noese> campi;
  std::size_t n = 0;
  for (LettoreCampi l(dati); l.prossimo_record(campi);) ++n;
  noese_voci_.reserve(n);
  LettoreCampi lettore(dati);
  for (LettoreCampi::Punto p = lettore.punto(); lettore.prossimo_record(campi); p = lettore.punto()) {
    const std::string_view servizio = trim(campi[0]);
    noese_voci_.push_back({static_cast<std::uint32_t>(servizio.data() - dati.data()),
                           static_cast<std::uint32_t>(servizio.size()),
                           p.posizione * 2 + (p.dopo_virgola ? 1 : 0)});
  }
  // By service, and for one service in file order.
  std::sort(noese_voci_.begin(), noese_voci_.end(), [dati](const VoceNoese& x, const VoceNoese& y) {
    const int c = dati.substr(x.prestazione, x.lunghezza).compare(dati.substr(y.prestazione, y.lunghezza));
    return c < 0 || (c == 0 && x.punto < y.punto);
  });
}

const std::vector<std::string>& Tabelle::nomi() {
  static const std::vector<std::string> nomi = [] {
    std::vector<std::string> n;
    for (const DescrittoreTabella& d : descrittori) n.emplace_back(d.nome);
    return n;
  }();
  return nomi;
}

namespace {

std::vector<std::string> tabelle_nello_stato(const fs::path& cartella, StatoTabella stato) {
  std::vector<std::string> assenti;
  for (const std::string& nome : Tabelle::nomi())
    if (stato_tabella(cartella / nome) == stato) assenti.emplace_back(nome);
  return assenti;
}

}  // namespace

std::vector<std::string> Tabelle::mancanti(const fs::path& cartella) {
  return tabelle_nello_stato(cartella, StatoTabella::mancante);
}

std::vector<std::string> Tabelle::inutilizzabili(const fs::path& cartella) {
  return tabelle_nello_stato(cartella, StatoTabella::inutilizzabile);
}

namespace {

std::size_t cerca_in(Tabelle& tabelle, Tabella t, std::string_view codice) {
  return tabelle.tabella(t).cerca(codice, chiave(t).lunghezza);
}

}  // namespace

std::size_t RICPRE(Tabelle& tabelle, std::string_view codice) {
  return cerca_in(tabelle, Tabella::terapie, trim(codice));
}

std::size_t cerca_comune(Tabelle& tabelle, std::string_view codice) {
  return cerca_in(tabelle, Tabella::comuxx, codice);
}

std::size_t cerca_diagnosi(Tabelle& tabelle, std::string_view codice) {
  return cerca_in(tabelle, Tabella::icd9, codice);
}

std::size_t cerca_esenzione(Tabelle& tabelle, std::string_view codice) {
  return cerca_in(tabelle, Tabella::codese, codice);
}

std::string sconto_in_chiaro(std::string_view campo) {
  std::string sconto(trim(campo));
  criptare(sconto);
  return sconto;
}

}  // namespace flussom

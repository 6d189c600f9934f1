#include "reference/tabelle.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "check/campi_csv.h"
#include "check/testo.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// The whole file as bytes; false when it is not a regular file or cannot be read.
bool leggi_tutto(const fs::path& file, std::string& dati) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff lunghezza = in.tellg();
  in.seekg(0, std::ios::beg);
  if (lunghezza < 0 || !in) return false;
  dati.resize(static_cast<std::size_t>(lunghezza));
  in.read(dati.data(), lunghezza);
  dati.resize(static_cast<std::size_t>(in.gcount()));
  return true;
}

// A bounded memo: a file full of distinct wrong codes must not grow it without end.
constexpr std::size_t massimo_risposte = 1u << 16;

}  // namespace

TabellaRecord::TabellaRecord(fs::path file, std::size_t lunghezza_record, bool crea_se_manca)
    : file_(std::move(file)), lunghezza_record_(lunghezza_record), crea_se_manca_(crea_se_manca) {}

void TabellaRecord::carica() {
  if (caricata_) return;
  caricata_ = true;
  std::error_code ec;
  if (!fs::exists(file_, ec) && !ec) {
    // Opened for appending so that nothing that may be there after all is truncated. A
    // folder where the file cannot be created leaves a table with no records.
    if (crea_se_manca_) std::ofstream crea(file_, std::ios::binary | std::ios::app);
    return;
  }
  presente_ = leggi_tutto(file_, dati_);
  // A partial last record is never read.
  if (lunghezza_record_ == 0)
    dati_.clear();
  else
    dati_.resize(dati_.size() / lunghezza_record_ * lunghezza_record_);
}

void TabellaRecord::carica_da(std::string contenuto) {
  dati_ = std::move(contenuto);
  caricata_ = true;
  presente_ = true;
  risposte_.clear();
  quante_risposte_ = 0;
  if (lunghezza_record_ == 0)
    dati_.clear();
  else
    dati_.resize(dati_.size() / lunghezza_record_ * lunghezza_record_);
}

std::size_t TabellaRecord::numero_record() {
  carica();
  return lunghezza_record_ == 0 ? 0 : dati_.size() / lunghezza_record_;
}

std::string_view TabellaRecord::record(std::size_t n) {
  if (n == 0 || n > numero_record()) return {};
  return std::string_view(dati_).substr((n - 1) * lunghezza_record_, lunghezza_record_);
}

bool TabellaRecord::presente() {
  carica();
  return presente_;
}

std::size_t TabellaRecord::bisezione(std::string_view codice, std::size_t larghezza_chiave) const {
  const std::string_view dati = dati_;
  std::size_t basso = 1;
  std::size_t alto = lunghezza_record_ == 0 ? 0 : dati.size() / lunghezza_record_;
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

std::size_t TabellaRecord::posto_risposta(std::string_view codice) const {
  // FNV-1a over the code's bytes; linear probing from there.
  std::uint64_t h = 1469598103934665603u;
  for (const char c : codice) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211u;
  }
  const std::size_t maschera = risposte_.size() - 1;
  std::size_t i = static_cast<std::size_t>(h ^ (h >> 32)) & maschera;
  while (risposte_[i].usata && risposte_[i].codice != codice) i = (i + 1) & maschera;
  return i;
}

void TabellaRecord::ricorda(std::string_view codice, std::size_t numero) {
  if (quante_risposte_ >= massimo_risposte) {
    risposte_.clear();
    quante_risposte_ = 0;
  }
  // At most half full, so that a run of neighbouring slots stays short.
  if (2 * (quante_risposte_ + 1) > risposte_.size()) {
    std::vector<Risposta> vecchie(risposte_.empty() ? 64 : 2 * risposte_.size());
    vecchie.swap(risposte_);
    for (Risposta& r : vecchie)
      if (r.usata) risposte_[posto_risposta(r.codice)] = std::move(r);
  }
  Risposta& r = risposte_[posto_risposta(codice)];
  r.codice.assign(codice);
  r.numero = numero;
  r.usata = true;
  ++quante_risposte_;
}

std::size_t TabellaRecord::cerca(std::string_view codice, std::size_t larghezza_chiave) {
  carica();
  if (larghezza_chiave != larghezza_risposte_) {
    risposte_.clear();
    quante_risposte_ = 0;
    larghezza_risposte_ = larghezza_chiave;
  }
  if (!risposte_.empty()) {
    const Risposta& r = risposte_[posto_risposta(codice)];
    if (r.usata) return r.numero;
  }
  const std::size_t numero = bisezione(codice, larghezza_chiave);
  ricorda(codice, numero);
  return numero;
}

Tabelle::Tabelle(fs::path cartella)
    : cartella_(std::move(cartella)),
      terapie_(cartella_ / "TERAPIE.DAT", lunghezza_terapie, true),
      tera001_(cartella_ / "TERA001.DAT", lunghezza_tera001, false),
      sconti_(cartella_ / "SCONTI.DAT", lunghezza_sconti, false),
      icd9_(cartella_ / "ICD9.DAT", lunghezza_codici, true),
      comuxx_(cartella_ / "COMUXX.DAT", lunghezza_codici, true),
      codese_(cartella_ / "CODESE.DAT", lunghezza_codici, true) {}

const std::vector<RecNoese>* Tabelle::noese(std::string_view prestazione) {
  if (!noese_) {
    std::string contenuto;
    // A missing or unreadable NOESE.DAT covers every service with every exemption.
    if (leggi_tutto(cartella_ / "NOESE.DAT", contenuto))
      carica_noese_da(contenuto);
    else
      noese_.emplace();
  }
  const auto it = noese_->find(std::string(trim(prestazione)));
  return it == noese_->end() ? nullptr : &it->second;
}

void Tabelle::carica_noese_da(std::string_view contenuto) {
  noese_.emplace();
  for (auto& campi : leggi_record(contenuto, 5)) {
    RecNoese r;
    r.prestazione = std::string(trim(campi[0]));
    for (std::size_t i = 0; i < 4; ++i) r.esenzioni[i] = std::move(campi[i + 1]);
    auto& elenco = (*noese_)[r.prestazione];
    elenco.push_back(std::move(r));
  }
}

std::vector<std::string> Tabelle::mancanti(const fs::path& cartella) {
  static const char* const nomi[] = {"strutture.DAT", "TERAPIE.DAT", "TERA001.DAT",
                                     "SCONTI.DAT",    "NOESE.DAT",   "ICD9.DAT",
                                     "COMUXX.DAT",    "CODESE.DAT"};
  std::vector<std::string> assenti;
  for (const char* nome : nomi) {
    std::error_code ec;
    if (!fs::is_regular_file(cartella / nome, ec)) assenti.emplace_back(nome);
  }
  return assenti;
}

std::size_t RICPRE(Tabelle& tabelle, std::string_view codice, RecTerapie* record) {
  TabellaRecord& terapie = tabelle.terapie();
  const std::size_t numero = terapie.cerca(trim(codice), 7);
  if (numero != 0 && record != nullptr) {
    const std::string_view r = terapie.record(numero);
    record->codice.assign(r.substr(0, 7));
    record->campo2.assign(r.substr(7, 50));
    record->campo3.assign(r.substr(57, 2));
    record->tariffa.assign(r.substr(59, 8));
    record->campo5 = static_cast<std::uint16_t>(static_cast<unsigned char>(r[67]) |
                                                static_cast<unsigned char>(r[68]) << 8);
  }
  return numero;
}

std::size_t ric_comune(int selettore, std::string_view codice, Tabelle& tabelle) {
  switch (selettore) {
    case selettore_comuni:
      return tabelle.comuxx().cerca(codice, 6);
    case selettore_diagnosi:
      return tabelle.icd9().cerca(codice, 6);
    case selettore_esenzioni:
      return tabelle.codese().cerca(codice, 6);
    default:
      return 0;
  }
}

}  // namespace flussom

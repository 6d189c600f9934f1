#include "model/strutture.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "base/campi_csv.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"
#include "base/testo.h"

namespace flussom {

TabellaStrutture TabellaStrutture::leggi(const std::filesystem::path& cartella) {
  std::string contenuto;
  std::string motivo;
  if (leggi_tabella(cartella / "strutture.DAT", contenuto, motivo) != StatoTabella::presente) return {};
  return da_contenuto(std::move(contenuto));
}

TabellaStrutture TabellaStrutture::da_contenuto(std::string contenuto) {
  TabellaStrutture t;
  // Offsets are kept in 32 bits: a facility table of 4 GB is no table.
  if (contenuto.size() > UINT32_MAX) return t;
  t.dati_ = std::move(contenuto);
  const std::string_view dati = t.dati_;
  std::array<std::string_view, 5> campi;
  std::size_t n = 0;
  for (LettoreCampi l(dati); l.prossimo_record(campi);) ++n;
  t.voci_.reserve(n);
  const auto posto = [&](std::string_view v) { return static_cast<std::uint32_t>(v.data() - dati.data()); };
  const auto lunghezza = [](std::string_view v) { return static_cast<std::uint32_t>(v.size()); };
  for (LettoreCampi l(dati); l.prossimo_record(campi);)
    t.voci_.push_back({posto(campi[0]), lunghezza(campi[0]), posto(campi[1]), lunghezza(campi[1])});
  // By code and, for one code, in file order: the first record of each code is kept, as a
  // search from the start finds it.
  const auto prima = [&t](const Voce& a, const Voce& b) {
    const int c = t.testo(a.codice, a.lunghezza_codice).compare(t.testo(b.codice, b.lunghezza_codice));
    return c < 0 || (c == 0 && a.codice < b.codice);
  };
  std::sort(t.voci_.begin(), t.voci_.end(), prima);
  const auto stesso_codice = [&t](const Voce& a, const Voce& b) {
    return t.testo(a.codice, a.lunghezza_codice) == t.testo(b.codice, b.lunghezza_codice);
  };
  t.voci_.erase(std::unique(t.voci_.begin(), t.voci_.end(), stesso_codice), t.voci_.end());
  return t;
}

const Struttura* TabellaStrutture::cerca(std::string_view codice) const {
  if (const auto it = trovate_.find(std::string(codice)); it != trovate_.end()) return &it->second;
  const auto it = std::lower_bound(voci_.begin(), voci_.end(), codice, [this](const Voce& v, std::string_view c) {
    return testo(v.codice, v.lunghezza_codice) < c;
  });
  if (it == voci_.end() || testo(it->codice, it->lunghezza_codice) != codice) return nullptr;
  Struttura s{std::string(codice), std::string(testo(it->nome, it->lunghezza_nome))};
  return &trovate_.emplace(std::string(codice), std::move(s)).first->second;
}

namespace {

// The control characters of Windows-1252: C0 (below the blank), DEL, and the five bytes the
// code page leaves undefined.
constexpr unsigned char primo_stampabile = 0x20, canc = 0x7F;
constexpr unsigned char non_definiti_cp1252[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

}  // namespace

std::optional<char> filtra_tasto_codice(char c) {
  if (c >= '0' && c <= '9') return c;
  return std::nullopt;
}

std::optional<char> filtra_tasto_denominazione(char c) {
  if (c >= 'a' && c <= 'z') return maiuscola_ascii(c);
  if (c >= ',' && c <= '9') return std::nullopt;  // , - . / and the digits
  if (c == '"') return std::nullopt;          // would end the quoted field early
  const unsigned char b = static_cast<unsigned char>(c);
  if (b >= canc && carattere_di_controllo(c)) return std::nullopt;
  return c;
}

bool carattere_di_controllo(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if (b < primo_stampabile || b == canc) return true;
  for (unsigned char n : non_definiti_cp1252)
    if (b == n) return true;
  return false;
}

namespace {

template <typename Filtro>
std::string filtra_testo(std::string_view testo, std::size_t massimo, Filtro filtro) {
  std::string out;
  for (char c : testo) {
    if (out.size() >= massimo) break;
    if (auto f = filtro(c)) out.push_back(*f);
  }
  return out;
}

}  // namespace

std::string filtra_testo_codice(std::string_view testo, std::size_t massimo) {
  return filtra_testo(testo, massimo, filtra_tasto_codice);
}

std::string filtra_testo_denominazione(std::string_view testo, std::size_t massimo) {
  return filtra_testo(testo, massimo, [](char c) -> std::optional<char> {
    // Line breaks and other control characters cannot be typed into a one-line box.
    if (carattere_di_controllo(c)) return std::nullopt;
    return filtra_tasto_denominazione(c);
  });
}

bool registrazione_completa(const DatiStruttura& d) {
  return !trim(d.codice).empty() && !trim(d.branca1).empty();
}

std::string record_struttura(const DatiStruttura& d) {
  std::string r = "\"";
  r.append(trim(d.codice));
  r.append("\",\"");
  r.append(trim(d.denominazione));
  r.append("\",\"");
  r.append(trim(d.branca1));
  r.append("\",\"");
  r.append(trim(d.branca2));
  r.append("\",\"");
  r.append(trim(d.branca3));
  r.append("\"\r\n");
  return r;
}

namespace {

// Whether the last byte of the open file is a line break (true for an empty file).
bool finisce_a_capo(std::FILE* f, std::uint64_t dimensione) {
  if (dimensione == 0) return true;
  if (std::fseek(f, -1, SEEK_END) != 0) return false;
  const int c = std::fgetc(f);
  std::fseek(f, 0, SEEK_END);  // a write may follow a read only after a seek
  return c == '\n' || c == '\r';
}

// The whole table under the lock: its first `dimensione` bytes, read through the handle that
// holds the lock; the stream is left at the end, ready for the write. A table the lookups
// cannot hold (4 GB) finds nothing there either, and is not read.
bool leggi_sotto_blocco(std::FILE* f, std::uint64_t dimensione, std::string& tabella, std::string& motivo) {
  const auto fallito = [&] {
    motivo = testo_errno(errno);
    return false;
  };
  tabella.clear();
  if (dimensione > 0 && dimensione <= UINT32_MAX) {
    tabella.resize(static_cast<std::size_t>(dimensione));
    if (std::fseek(f, 0, SEEK_SET) != 0) return fallito();
    std::size_t letti = 0;
    for (std::size_t n; letti < tabella.size(); letti += n)
      if ((n = std::fread(tabella.data() + letti, 1, tabella.size() - letti, f)) == 0) break;
    if (std::ferror(f)) return fallito();
    tabella.resize(letti);  // shorter only when cut by someone who does not take the lock
  }
  // A write may follow a read only after a seek.
  if (std::fseek(f, 0, SEEK_END) != 0) return fallito();
  return true;
}

// Under the lock: the record appended unless its code is in the table as it stands now.
RegistrazioneStruttura aggiungi_sotto_blocco(std::FILE* f, std::uint64_t prima, const DatiStruttura& dati,
                                             std::string& motivo) {
  std::string contenuto;
  if (!leggi_sotto_blocco(f, prima, contenuto, motivo)) return RegistrazioneStruttura::non_scritta;
  // A table whose last record has no line break (an editor may leave it so) would get the
  // new record glued to that one: both would be lost to the lookups.
  const bool a_capo = finisce_a_capo(f, prima);
  const std::string_view codice = trim(dati.codice);
  const TabellaStrutture tabella = TabellaStrutture::da_contenuto(std::move(contenuto));
  if (const Struttura* gia = tabella.cerca(codice)) {
    motivo = "Struttura " + std::string(codice) + " gi\xE0 registrata: " + gia->denominazione;
    return RegistrazioneStruttura::gia_registrata;
  }
  const std::string record = (a_capo ? "" : "\r\n") + record_struttura(dati);
  if (std::fwrite(record.data(), 1, record.size(), f) == record.size() && std::fflush(f) == 0)
    return RegistrazioneStruttura::registrata;
  motivo = testo_errno(errno);
  // Only this record's bytes are taken back: nobody else wrote while the lock was held.
  std::string non_accorciato;
  accorcia_file(f, prima, non_accorciato);
  return RegistrazioneStruttura::non_scritta;
}

}  // namespace

RegistrazioneStruttura registra_struttura(const std::filesystem::path& cartella, const DatiStruttura& dati,
                                          std::string& errore) {
  std::string motivo;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_in_aggiunta(cartella / "strutture.DAT", motivo),
                                                    &std::fclose);
  // Registrations of other processes wait for the lock: the size measured under it is the
  // end of the table this record goes after.
  std::uint64_t prima = 0;
  auto esito = RegistrazioneStruttura::non_scritta;
  if (f && blocca_file(f.get(), prima, motivo)) {
    esito = aggiungi_sotto_blocco(f.get(), prima, dati, motivo);
    sblocca_file(f.get());
  }
  if (f && std::fclose(f.release()) != 0 && esito == RegistrazioneStruttura::registrata) {
    esito = RegistrazioneStruttura::non_scritta;
    motivo = testo_errno(errno);
  }
  if (esito != RegistrazioneStruttura::registrata) errore = motivo;
  return esito;
}

}  // namespace flussom

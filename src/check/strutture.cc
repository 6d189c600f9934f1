#include "check/strutture.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "check/campi_csv.h"
#include "check/piattaforma.h"
#include "check/testo.h"

namespace flussom {

TabellaStrutture TabellaStrutture::leggi(const std::filesystem::path& cartella) {
  std::ifstream in(cartella / "strutture.DAT", std::ios::binary);
  if (!in) return {};
  const std::string contenuto{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return da_contenuto(contenuto);
}

TabellaStrutture TabellaStrutture::da_contenuto(std::string_view contenuto) {
  TabellaStrutture t;
  for (auto& r : leggi_record(contenuto, 5)) {
    // try_emplace keeps the first record of a code, as a search from the start finds it.
    t.per_codice_.try_emplace(r[0], Struttura{r[0], r[1]});
  }
  return t;
}

const Struttura* TabellaStrutture::cerca(std::string_view codice) const {
  auto it = per_codice_.find(std::string(codice));
  return it == per_codice_.end() ? nullptr : &it->second;
}

std::optional<char> filtra_tasto_codice(char c) {
  if (c >= '0' && c <= '9') return c;
  return std::nullopt;
}

std::optional<char> filtra_tasto_denominazione(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c > 43 && c < 58) return std::nullopt;  // , - . / and the digits
  if (c == '"') return std::nullopt;          // would end the quoted field early
  return c;
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
    if (static_cast<unsigned char>(c) < 32) return std::nullopt;
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

bool registra_struttura(const std::filesystem::path& cartella, const DatiStruttura& dati,
                        std::string* errore) {
  const std::string record = record_struttura(dati);
  const auto percorso = cartella / "strutture.DAT";
  std::error_code ec;
  const auto prima = std::filesystem::exists(percorso, ec) ? std::filesystem::file_size(percorso, ec) : 0;
  std::FILE* f = apri_file(percorso, "ab");
  if (!f) {
    if (errore) *errore = std::strerror(errno);
    return false;
  }
  const bool scritto = std::fwrite(record.data(), 1, record.size(), f) == record.size();
  const int e = errno;
  const bool chiuso = std::fclose(f) == 0;
  if (!scritto || !chiuso) {
    // Take a partial record back out, so the table does not go out of step.
    std::filesystem::resize_file(percorso, prima, ec);
    if (errore) *errore = std::strerror(scritto ? errno : e);
    return false;
  }
  return true;
}

}  // namespace flussom

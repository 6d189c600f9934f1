// libFuzzer target: the facility table with a registration, and the table builder. The input
// is split like the table fuzzer's (see dividi_parti) into:
//   0      strutture.DAT as found in the folder
//   1      the five boxes of the registration, one a line, as typed (the window's filters
//          apply)
//   2 - 6  the builder's CSV sources prestazioni, diagnosi, comuni, esenzioni, noese.csv
//          (ASSENTE: that source is absent)
// A complete registration of a code the lookup does not find must append exactly its record
// (on a new line when the table did not end with one), and be found afterwards whenever the
// table was in step before it; one of a code it finds is refused and changes nothing. A
// build the builder accepts must write every table, twice over, leave no temporary file,
// keep the three service tables parallel, and read back as CSV.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "ambiente.h"
#include "base/campi_csv.h"
#include "model/strutture.h"
#include "base/testo.h"
#include "reference/costruisci_tabelle.h"
#include "reference/mostra_tabella.h"
#include "reference/tabelle.h"

namespace fs = std::filesystem;
using namespace flussom;
using namespace flussom::fuzz;

namespace {

constexpr std::size_t parte_strutture = 0, parte_registrazione = 1, prima_sorgente = 2;

DatiStruttura dati_digitati(std::string_view testo) {
  std::string_view caselle[5];
  for (std::string_view& c : caselle) {
    const std::size_t fine = testo.find('\n');
    c = testo.substr(0, fine);
    testo.remove_prefix(fine == std::string_view::npos ? testo.size() : fine + 1);
  }
  return {filtra_testo_codice(caselle[0], max_codice_struttura),
          filtra_testo_denominazione(caselle[1], max_denominazione),
          filtra_testo_codice(caselle[2], max_branca), filtra_testo_codice(caselle[3], max_branca),
          filtra_testo_codice(caselle[4], max_branca)};
}

// The table was in step and the record appended reads back as its own five fields (an
// unclosed quote before it, say, would swallow it: the format has no cure for that).
bool in_passo(std::string_view prima, std::string_view dopo, const DatiStruttura& d) {
  const std::vector<std::string> campi_prima = leggi_campi(prima), campi = leggi_campi(dopo);
  if (campi_prima.size() % 5 != 0 || campi.size() != campi_prima.size() + 5) return false;
  const std::string_view attesi[] = {trim(d.codice), trim(d.denominazione), trim(d.branca1), trim(d.branca2),
                                     trim(d.branca3)};
  for (std::size_t k = 0; k < 5; ++k)
    if (campi[campi_prima.size() + k] != attesi[k]) return false;
  return true;
}

void prova_registrazione(const fs::path& cartella, std::string_view tabella, std::string_view digitato) {
  scrivi(cartella / "strutture.DAT", tabella);
  const TabellaStrutture prima = TabellaStrutture::da_contenuto(std::string(tabella));
  const DatiStruttura d = dati_digitati(digitato);
  if (!registrazione_completa(d)) return;
  std::string errore;
  const RegistrazioneStruttura esito = registra_struttura(cartella, d, errore);
  // A code the lookup finds already is refused, naming the facility it finds.
  if (const Struttura* gia = prima.cerca(d.codice)) {
    if (esito != RegistrazioneStruttura::gia_registrata) guasto("codice gia' registrato accettato");
    if (errore != "Struttura " + d.codice + " gi\xE0 registrata: " + gia->denominazione)
      guasto("messaggio del codice gia' registrato: " + errore);
    if (leggi(cartella / "strutture.DAT") != tabella) guasto("strutture.DAT cambiata");
    return;
  }
  if (esito != RegistrazioneStruttura::registrata) guasto("registrazione non scritta: " + errore);
  const bool a_capo = tabella.empty() || tabella.back() == '\n' || tabella.back() == '\r';
  const std::string attesa = std::string(tabella) + (a_capo ? "" : "\r\n") + record_struttura(d);
  if (leggi(cartella / "strutture.DAT") != attesa) guasto("strutture.DAT non e' quella attesa");
  if (!in_passo(tabella, attesa, d)) return;
  const TabellaStrutture dopo = TabellaStrutture::leggi(cartella);
  const Struttura* trovata = dopo.cerca(d.codice);
  if (!trovata) guasto("struttura registrata non trovata");
  if (trovata->denominazione != trim(d.denominazione)) guasto("struttura registrata letta con un altro nome");
}

void prova_costruzione(const fs::path& cartella, const std::vector<std::string_view>& parti) {
  SorgentiTabelle s;
  for (std::size_t k = 0; k < sorgenti_tabelle().size(); ++k) {
    const std::size_t i = prima_sorgente + k;
    if (i < parti.size() && parti[i] != assente) s[std::string(sorgenti_tabelle()[k])] = std::string(parti[i]);
  }
  std::vector<FileTabella> tabelle;
  if (ErroreSorgente rifiuto; !costruisci_tabelle(s, tabelle, rifiuto)) return;
  std::error_code ec;
  fs::remove_all(cartella, ec);
  for (int volta = 0; volta < 2; ++volta)
    if (ErroreScrittura e; !scrivi_tabelle(tabelle, cartella, e)) guasto("tabelle non scritte: " + e.motivo);
  std::size_t voci = 0;
  for ([[maybe_unused]] const auto& f : fs::directory_iterator(cartella)) ++voci;
  if (voci != tabelle.size()) guasto("file in piu' dopo la costruzione");
  Tabelle lette(cartella);
  if (s.contains(descrittore(Tabella::terapie).sorgente) && (lette.terapie().numero_record() != lette.tera001().numero_record() ||
                        lette.terapie().numero_record() != lette.sconti().numero_record()))
    guasto("tabelle delle prestazioni non parallele");
  for (const FileTabella& t : tabelle) {
    if (leggi(cartella / t.nome) != t.contenuto) guasto("tabella scritta diversa: " + t.nome);
    std::string csv, errore;
    if (!tabella_in_csv(cartella / t.nome, csv, errore)) guasto("tabella non rileggibile: " + t.nome);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Ambiente& a = ambiente();
  const fs::path registrazione = a.radice / "registrazione", costruite = a.radice / "costruite";
  static const bool pronto = fs::create_directories(registrazione);
  (void)pronto;
  const std::vector<std::string_view> parti =
      dividi_parti(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto parte = [&](std::size_t i) { return i < parti.size() ? parti[i] : std::string_view{}; };
  prova_registrazione(registrazione, parte(parte_strutture), parte(parte_registrazione));
  prova_costruzione(costruite, parti);
  return 0;
}

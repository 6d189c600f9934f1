#include "cli/comandi.h"

#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

#include "base/cp1252.h"
#include "run/importa.h"
#include "model/strutture.h"
#include "cli/interfaccia_terminale.h"
#include "base/file_sicuro.h"
#include "run/raccolta_report.h"
#include "cli/registrazione.h"
#include "cli/risultato_json.h"
#include "reference/tabelle.h"

namespace flussom {

namespace fs = std::filesystem;

fs::path percorso_utf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

namespace {

bool cartella_usabile(const fs::path& cartella, std::ostream& err) {
  std::error_code ec;
  if (!fs::is_directory(cartella, ec)) {
    err << "Cartella dell'applicazione non trovata: " << testo_visibile(cartella.string()) << '\n';
    return false;
  }
  return true;
}

}  // namespace

bool avvisa_tabelle(const fs::path& cartella, std::ostream& err) {
  if (!cartella_usabile(cartella, err)) return false;
  for (const std::string& nome : Tabelle::mancanti(cartella))
    err << "Attenzione: tabella mancante " << testo_visibile((cartella / nome).string()) << '\n';
  // A folder, a pipe or a device at a table's name is never read: the run treats it as missing.
  for (const std::string& nome : Tabelle::inutilizzabili(cartella))
    err << "Attenzione: tabella inutilizzabile " << testo_visibile((cartella / nome).string())
        << " : non \xC3\xA8 un file regolare, trattata come mancante\n";
  return true;
}

int comando_controlla(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                      std::ostream& out, std::ostream& err) {
  if (o.file.empty()) {
    err << "Nessun file dati indicato: nessun controllo eseguito\n";
    return 2;
  }
  if (!avvisa_tabelle(o.cartella, err)) return 2;
  return controlla_file(o, orologio, in, out, err).stato;
}

EsitoControllo controlla_file(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                              std::ostream& out, std::ostream& err) {
  EsitoControllo esito;
  const ParametriRun parametri{percorso_utf8(o.file), o.cartella, o.report};
  const fs::path json = percorso_utf8(o.json);
  // The JSON result never takes the place of the data file or of the report.
  if (!o.json.empty() && (stesso_file(json, parametri.percorso_file) || stesso_file(json, parametri.report()) ||
                          json.lexically_normal() == parametri.report().lexically_normal())) {
    err << "Il file JSON " << testo_visibile(o.json)
        << " \xC3\xA8 il file dati o il report: nessun controllo eseguito\n";
    return esito;
  }
  InterfacciaTerminale ui(o.cartella, in, err, o.interattivo);
  RaccoltaReport raccolta;
  if (!o.json.empty()) ui.osserva_report(&raccolta);
  // The name as the terminal shows it; the report keeps its bytes.
  ui.imposta_stato("Apertura File : " + utf8_a_cp1252(testo_visibile(o.file)));
  // A progress indicator only where someone waits for it: a terminal and a large file.
  std::error_code ec;
  const auto dimensione = fs::file_size(percorso_utf8(o.file), ec);
  ui.mostra_avanzamento(o.avanzamento && !ec && dimensione > soglia_avanzamento);
  const RisultatoRun& r = esito.run = importa(parametri, ui, orologio);
  esito.blocchi = static_cast<std::int64_t>(raccolta.blocchi().size());
  ui.stampa_stato(out);
  // A verdict that does not reach its reader is no verdict.
  if (!out.flush()) {
    err << "Impossibile scrivere l'esito del controllo sullo standard output: " << std::strerror(errno) << '\n';
    return esito;
  }
  if (!o.json.empty()) {
    std::string motivo;
    const DatiRisultato dati{o.file, orologio.oggi(), r, raccolta};
    if (!scrivi_file_intero(json, risultato_json(dati), motivo)) {
      err << "Impossibile scrivere il risultato JSON " << testo_visibile(o.json) << " : " << motivo << '\n';
      return esito;
    }
  }
  esito.stato = stato_uscita(r.esito);
  return esito;
}

int comando_registra(const OpzioniRegistra& o, std::ostream& out, std::ostream& err) {
  if (!cartella_usabile(o.cartella, err)) return 2;
  std::string errore;
  DatiStruttura d;
  auto rifiuta = [&]() {
    err << "Valore non accettato: " << errore << ". Nessun record scritto.\n";
    return 2;
  };
  auto codice = valida_codice_struttura(o.codice, true, errore);
  if (!codice) return rifiuta();
  auto nome = valida_denominazione(o.denominazione, errore);
  if (!nome) return rifiuta();
  auto b1 = valida_branca(o.branca1, true, errore);
  if (!b1) return rifiuta();
  auto b2 = valida_branca(o.branca2, false, errore);
  if (!b2) return rifiuta();
  auto b3 = valida_branca(o.branca3, false, errore);
  if (!b3) return rifiuta();
  d = DatiStruttura{*codice, *nome, *b1, *b2, *b3};
  switch (registra_struttura(o.cartella, d, errore)) {
    case RegistrazioneStruttura::registrata:
      break;
    case RegistrazioneStruttura::gia_registrata:
      err << testo_visibile(cp1252_a_utf8(errore)) << '\n';
      return 2;
    case RegistrazioneStruttura::non_scritta:
      err << "Impossibile scrivere " << (o.cartella / "strutture.DAT").string() << " : " << errore << '\n';
      return 2;
  }
  out << "Registrata la struttura " << cp1252_a_utf8(d.codice) << " " << cp1252_a_utf8(d.denominazione)
      << '\n';
  return 0;
}

}  // namespace flussom

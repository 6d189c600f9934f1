#include "cli/comandi.h"

#include <cerrno>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>

#include "base/cp1252.h"
#include "run/importa.h"
#include "model/strutture.h"
#include "cli/interfaccia_terminale.h"
#include "base/file_sicuro.h"
#include "cli/registrazione.h"
#include "risultati/risultato_json.h"
#include "risultati/righe_stato.h"
#include "base/file_intero.h"
#include "base/piattaforma.h"
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
  for (const std::string& a : avvisi_tabelle(cartella)) err << testo_visibile(cp1252_a_utf8(a)) << '\n';
  return true;
}

int comando_controlla(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                      std::ostream& out, std::ostream& err) {
  if (o.file.empty()) {
    err << "Nessun file dati indicato: nessun controllo eseguito\n";
    return 2;
  }
  // The tables' warnings come from the run itself.
  if (!cartella_usabile(o.cartella, err)) return 2;
  return controlla_file(o, orologio, in, out, err).stato;
}

namespace {

// Where the JSON result goes: a file written whole through its temporary, or standard
// output ("-"). Refuses, before the run, a target that is one of the run's own files or
// not a regular file.
class UscitaJson {
 public:
  UscitaJson(const OpzioniControlla& o, std::ostream& out) : nome_(o.json), out_(out) {}

  bool prepara(const ParametriRun& parametri, std::ostream& err) {
    if (nome_.empty() || nome_ == "-") return true;
    const fs::path json = percorso_utf8(nome_);
    std::string motivo = destinazione_rifiutata(json, file_protetti(parametri));
    if (motivo.empty() && file_.apri(json, motivo)) return true;
    err << "Il file JSON " << testo_visibile(nome_) << " non pu\xC3\xB2 essere scritto: " << cp1252_a_utf8(motivo)
        << ". Nessun controllo eseguito\n";
    return false;
  }

  ScrittoreJson::Uscita uscita() {
    if (nome_ == "-")
      return [this](std::string_view t) { return !!out_.write(t.data(), static_cast<std::streamsize>(t.size())); };
    return [this](std::string_view t) { return file_.scrivi(t); };
  }

  // The document is not to appear: the target keeps what it held.
  void abbandona() { file_.annulla(); }

  // Ends the document: the file takes its target's place. A write that failed on the way
  // fails here.
  bool completa(bool scritto, std::ostream& err) {
    std::string motivo;
    if (nome_ == "-") {
      if (scritto && out_.flush()) return true;
      motivo = cp1252_a_utf8(testo_errno(errno));
    } else {
      if (file_.completa(motivo)) return true;
      motivo = cp1252_a_utf8(motivo);
    }
    err << "Impossibile scrivere il risultato JSON " << testo_visibile(nome_) << " : " << motivo << '\n';
    return false;
  }

 private:
  std::string nome_;
  std::ostream& out_;
  FileIntero file_;
};

}  // namespace

EsitoControllo controlla_file(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                              std::ostream& out, std::ostream& err) {
  EsitoControllo esito;
  const ParametriRun parametri{percorso_utf8(o.file), o.cartella, o.report, o.interrompi};
  UscitaJson json(o, out);
  if (!json.prepara(parametri, err)) return esito;
  // With the JSON on standard output, the status text goes to standard error.
  std::ostream& stato = o.json == "-" ? err : out;
  InterfacciaTerminale ui(o.cartella, in, err, o.interattivo);
  ui.mostra_avvisi(o.avvisi);
  std::optional<ScrittoreJson> scrittore;
  if (!o.json.empty()) ui.osserva_report(&scrittore.emplace(o.file, orologio.oggi(), json.uscita()));
  // The name as the terminal shows it; the report keeps its bytes.
  ui.imposta_stato(riga_apertura(utf8_a_cp1252(testo_visibile(o.file))));
  // A progress indicator only where someone waits for it: a terminal and a large file.
  std::error_code ec;
  const auto dimensione = fs::file_size(percorso_utf8(o.file), ec);
  ui.mostra_avanzamento(o.avanzamento && !ec && dimensione > soglia_avanzamento);
  const RisultatoRun& r = esito.run = importa(parametri, ui, orologio);
  if (r.esito == EsitoRun::interrotto) {
    json.abbandona();
    return esito;
  }
  ui.stampa_stato(stato);
  // A verdict that does not reach its reader is no verdict.
  if (!stato.flush()) {
    err << "Impossibile scrivere l'esito del controllo sullo standard output: " << cp1252_a_utf8(testo_errno(errno)) << '\n';
    return esito;
  }
  if (scrittore) {
    esito.blocchi = scrittore->blocchi();
    if (!json.completa(scrittore->concludi(r), err)) return esito;
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
      err << "Impossibile scrivere " << testo_visibile(testo_utf8(o.cartella / "strutture.DAT")) << " : "
          << testo_visibile(cp1252_a_utf8(errore)) << '\n';
      return 2;
  }
  out << "Registrata la struttura " << cp1252_a_utf8(d.codice) << " " << cp1252_a_utf8(d.denominazione)
      << '\n';
  return 0;
}

}  // namespace flussom

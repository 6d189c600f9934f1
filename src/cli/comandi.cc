#include "cli/comandi.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>

#include "base/cp1252.h"
#include "run/importa.h"
#include "model/strutture.h"
#include "cli/interfaccia_terminale.h"
#include "base/file_sicuro.h"
#include "cli/registrazione.h"
#include "risultati/errori_csv.h"
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

// Where a result goes (the JSON document, the CSV of errors): a file written whole through
// its temporary, or standard output ("-"). Refuses, before the run, a target that is one of
// the run's own files or not a regular file.
class UscitaRisultato {
 public:
  // `tipo` names the result in messages: "JSON", "CSV".
  UscitaRisultato(std::string nome, const char* tipo, std::ostream& out)
      : nome_(std::move(nome)), tipo_(tipo), out_(out) {}

  bool scelta() const { return !nome_.empty(); }
  bool su_standard_output() const { return nome_ == "-"; }
  // The target file, when there is one.
  std::optional<fs::path> file() const {
    if (!scelta() || su_standard_output()) return std::nullopt;
    return percorso_utf8(nome_);
  }

  bool prepara(const std::vector<fs::path>& protetti, std::ostream& err) {
    const std::optional<fs::path> f = file();
    if (!f) return true;
    std::string motivo = destinazione_rifiutata(*f, protetti);
    if (motivo.empty() && file_.apri(*f, motivo)) return true;
    err << "Il file " << tipo_ << " " << testo_visibile(nome_) << " non pu\xC3\xB2 essere scritto: "
        << cp1252_a_utf8(motivo) << ". Nessun controllo eseguito\n";
    return false;
  }

  std::function<bool(std::string_view)> uscita() {
    if (su_standard_output())
      return [this](std::string_view t) { return !!out_.write(t.data(), static_cast<std::streamsize>(t.size())); };
    return [this](std::string_view t) { return file_.scrivi(t); };
  }

  // The result is not to appear: the target keeps what it held.
  void abbandona() { file_.annulla(); }

  // Ends the result: the file takes its target's place. A write that failed on the way
  // fails here.
  bool completa(bool scritto, std::ostream& err) {
    std::string motivo;
    if (su_standard_output()) {
      if (scritto && out_.flush()) return true;
      motivo = cp1252_a_utf8(testo_errno(errno));
    } else {
      if (file_.completa(motivo)) return true;
      motivo = cp1252_a_utf8(motivo);
    }
    err << "Impossibile scrivere il risultato " << tipo_ << " " << testo_visibile(nome_) << " : " << motivo << '\n';
    return false;
  }

 private:
  std::string nome_;
  const char* tipo_;
  std::ostream& out_;
  FileIntero file_;
};

// The two results of a run, prepared before it: refused, they stop it before it starts.
bool prepara_risultati(const ParametriRun& parametri, UscitaRisultato& json, UscitaRisultato& csv,
                       std::ostream& err) {
  if (json.su_standard_output() && csv.su_standard_output()) {
    err << "--json e --errori-csv non possono scrivere entrambi sullo standard output. Nessun controllo eseguito\n";
    return false;
  }
  std::vector<fs::path> protetti = file_protetti(parametri);
  if (!json.prepara(protetti, err)) return false;
  // Nor may the two results take one file.
  if (const std::optional<fs::path> f = json.file()) protetti.push_back(*f);
  return csv.prepara(protetti, err);
}

}  // namespace

EsitoControllo controlla_file(const OpzioniControlla& o, const Orologio& orologio, std::istream& in,
                              std::ostream& out, std::ostream& err) {
  EsitoControllo esito;
  const ParametriRun parametri{percorso_utf8(o.file), o.cartella, o.report, o.interrompi, o.pezzo};
  UscitaRisultato json(o.json, "JSON", out), csv(o.errori_csv, "CSV", out);
  if (!prepara_risultati(parametri, json, csv, err)) return esito;
  // With a result on standard output, the status text goes to standard error.
  std::ostream& stato = json.su_standard_output() || csv.su_standard_output() ? err : out;
  InterfacciaTerminale ui(o.cartella, in, err, o.interattivo);
  ui.mostra_avvisi(o.avvisi);
  std::optional<ScrittoreJson> scrittore;
  if (json.scelta()) ui.osserva_report(scrittore.emplace(o.file, orologio.oggi(), json.uscita()));
  std::optional<ScrittoreErroriCsv> errori;
  if (csv.scelta()) ui.osserva_report(errori.emplace(csv.uscita()));
  // The name as the terminal shows it; the report keeps its bytes.
  ui.imposta_stato(riga_apertura(utf8_a_cp1252(testo_visibile(o.file))));
  // A progress indicator only where someone waits for it: a terminal and a large file.
  std::error_code ec;
  const auto dimensione = fs::file_size(percorso_utf8(o.file), ec);
  ui.mostra_avanzamento(o.avanzamento && !ec && dimensione > soglia_avanzamento);
  const RisultatoRun& r = esito.run = importa(parametri, ui, orologio);
  if (r.esito == EsitoRun::interrotto) {
    json.abbandona();
    csv.abbandona();
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
  if (errori && !csv.completa(errori->concludi(), err)) return esito;
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

#include "run/importa.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "base/formato.h"
#include "model/indice_ricette.h"
#include "base/lettore_righe.h"
#include "rules/regole_ricetta.h"
#include "rules/stato_run.h"
#include "model/strutture.h"
#include "base/testo.h"
#include "rules/regole.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

const char* const mesi[13] = {"",           "GENNAIO   ", "FEBBRAIO  ", "MARZO     ",
                              "APRILE    ", "MAGGIO    ", "GIUGNO    ", "LUGLIO    ",
                              "AGOSTO    ", "SETTEMBRE ", "OTTOBRE   ", "NOVEMBRE  ",
                              "DICEMBRE  "};

struct ChiudiFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, ChiudiFile>;

// The file name as the file list shows it, in Windows-1252.
std::string nome_file(const fs::path& p) {
  const auto u8 = p.filename().u8string();
  return utf8_a_cp1252(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

std::string testo_percorso(const fs::path& p) {
  const auto u8 = p.u8string();
  return utf8_a_cp1252(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
}

// Opens the data file, the one time it is opened in a run: a regular file or a pipe, and
// never the report of the same folder (recreating the report would destroy it).
File apri_dati(const ParametriRun& par, Interfaccia& ui, bool& pipe) {
  if (stesso_file(par.percorso_file, par.report())) {
    ui.messaggio("Il file " + testo_percorso(par.percorso_file) +
                 " \xE8 il report errori.RPT: nessun controllo eseguito, scegliere il file dati");
    return nullptr;
  }
  std::string motivo;
  File f(apri_in_lettura(par.percorso_file, motivo, &pipe));
  if (!f) ui.messaggio("Impossibile leggere il file " + testo_percorso(par.percorso_file) + " : " + motivo);
  return f;
}

// The facility of the file from its first line, offering to register it while missing.
// Its name (empty when the operator answered No), or nullopt when the operator ended the
// program in the registration window.
std::optional<std::string> struttura_del_file(const ParametriRun& par, Interfaccia& ui,
                                              LettoreRighe& lettore, std::string& codice) {
  const std::string codstru(trim(campo(lettore.anteprima(lunghezza_riga), 7, 6)));
  for (;;) {
    ui.imposta_struttura("");
    const TabellaStrutture strutture = TabellaStrutture::leggi(par.cartella);
    if (const Struttura* s = strutture.cerca(codstru)) {
      ui.imposta_struttura(s->denominazione);
      codice = s->codice;
      return s->denominazione;
    }
    if (!ui.domanda("STRUTTURA NON TROVATA! Vuole inserirla ")) return std::string();
    if (ui.registra_struttura(codstru) == EsitoRegistrazione::fine_programma) return std::nullopt;
  }
}

// The month of the file name (characters 4 and 5): 1 to 12 as a whole number, 0 when the
// two characters pass the test but are not a whole number, -1 when not defined.
int mese_del_file(const std::string& nome) {
  const std::string_view mm = nome.size() > 3 ? std::string_view(nome).substr(3, 2) : std::string_view{};
  const double v = valnum(mm);
  if (v == 0 || v > 12) return -1;
  const std::string_view t = trim(mm);
  std::size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
  if (i == t.size()) return 0;
  for (std::size_t k = i; k < t.size(); ++k)
    if (t[k] < '0' || t[k] > '9') return 0;
  const int m = std::stoi(std::string(t));
  return m >= 1 && m <= 12 ? m : 0;
}

std::string data_breve(std::chrono::year_month_day d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u/%02u/%04d", static_cast<unsigned>(d.day()),
                static_cast<unsigned>(d.month()), static_cast<int>(d.year()));
  return buf;
}

// Hands the report's lines to the front end.
class InoltroReport : public OsservatoreReport {
 public:
  explicit InoltroReport(Interfaccia& ui) : ui_(ui) {}
  void riga_report(const RigaReport& r) override { ui_.riga_report(r); }

 private:
  Interfaccia& ui_;
};

void aggiungi_riepilogo(Interfaccia& ui, const TotaliVerifica& t) {
  ui.aggiungi_stato("IL FILE E' CORRETTO");
  ui.aggiungi_stato("Ricette lette    nr " + formato_migliaia(static_cast<double>(t.nricette)));
  ui.aggiungi_stato("Records letti    nr " + formato_migliaia(static_cast<double>(t.nrec - 1)));
  ui.aggiungi_stato("Prestazioni      nr " + formato_migliaia(t.nprestazioni));
  ui.aggiungi_stato("Totale         \x80  " + formato_totale(t.tot_ticket + t.tot_netto));
  ui.aggiungi_stato("Totale Ticket  \x80  " + formato_totale(t.tot_ticket) + "  Totale Netto  \x80 " +
                    formato_totale(t.tot_netto));
  ui.aggiungi_stato("Totale Sconto  \x80  " + formato_totale(t.tot_sconto) +
                    "  Totale Netto ASP  \x80 " + formato_totale(t.tot_netto - t.tot_sconto));
}

}  // namespace

std::string App_Pacth(const fs::path& cartella) {
  std::string s = cartella.string();
  if (s.empty() || (s.back() != '/' && s.back() != static_cast<char>(fs::path::preferred_separator)))
    s.push_back(static_cast<char>(fs::path::preferred_separator));
  return s;
}

RisultatoRun importa(const ParametriRun& par, Interfaccia& ui, const Orologio& orologio, int& simu,
                     int& risu) {
  simu = 1;
  RisultatoRun ris;
  const bool file_scelto = !ui.testo_stato().empty() && !par.percorso_file.empty();
  std::string motivo;

  // The data file is opened and read once: its first line gives the facility, then the
  // check goes on from the same reader, so a pipe is read whole and only once.
  std::string nome_struttura;
  File dati;
  bool pipe = false;
  std::optional<LettoreRighe> lettore;
  if (file_scelto) {
    dati = apri_dati(par, ui, pipe);
    if (!dati) {
      ris.esito = EsitoRun::file_non_leggibile;
      return ris;
    }
    lettore.emplace(dati.get());
    if (pipe && lettore->anteprima(1).empty() && lettore->fine_file()) {
      ui.messaggio("Impossibile leggere il file " + testo_percorso(par.percorso_file) +
                   " : nessun dato ricevuto");
      ris.esito = EsitoRun::file_non_leggibile;
      return ris;
    }
    const auto nome = struttura_del_file(par, ui, *lettore, ris.codice_struttura);
    if (!nome) {
      ris.esito = EsitoRun::programma_terminato;
      return ris;
    }
    nome_struttura = *nome;
    ris.denominazione_struttura = nome_struttura;
  }

  ui.abilita_stampa(false);
  risu = 0;
  ReportErrori report;
  InoltroReport inoltro(ui);
  report.osserva(&inoltro);
  if (!report.crea(par.report(), &motivo)) {
    ui.messaggio("Impossibile scrivere il report " + testo_percorso(report.percorso()) + " : " + motivo);
    ris.esito = EsitoRun::report_non_scrivibile;
    return ris;
  }
  auto fine_report = [&](EsitoRun esito) {
    if (!report.chiudi()) {
      ui.messaggio("Impossibile scrivere il report " + testo_percorso(report.percorso()) + " : " +
                   report.errore());
      esito = EsitoRun::report_non_scrivibile;
    }
    ris.esito = esito;
    ris.risu = risu;
    return ris;
  };

  if (!file_scelto) {
    ui.focus_fine();
    return fine_report(EsitoRun::nessun_file);
  }

  const std::string nome = nome_file(par.percorso_file);
  const int mese = mese_del_file(nome);
  if (mese < 0) {
    ui.messaggio("NEL FILE IL MESE NON E'DEFINITO");
    RigaReport info;
    info.regola = Regola::mese_non_definito;
    report.scrivi(info, {"nel file il mese non \xE8 definito "});
    risu = 1;
    return fine_report(EsitoRun::mese_non_definito);
  }
  ris.mese = mese;

  constexpr auto testa = TipoRigaReport::intestazione;
  report.scrivi(testa, {"Struttura : ", nome_struttura});
  report.scrivi(testa, {});
  report.scrivi(testa, {"File controllato :", nome, "    ", mesi[mese]});
  report.scrivi(testa, {});
  report.scrivi(testa, {"Elenco errori riscontrati "});
  report.scrivi(testa, {});

  Tabelle tabelle(par.cartella);
  const std::chrono::year_month_day oggi = orologio.oggi();
  StatoRun s(report, tabelle, static_cast<int>(oggi.year()));
  const TabellaStrutture strutture = TabellaStrutture::leggi(par.cartella);
  IndiceRicette precedenti;

  ui.puntatore_occupato(true);
  std::error_code ec;
  const auto dimensione = pipe ? 0 : fs::file_size(par.percorso_file, ec);
  ui.imposta_progresso(0, ec ? 0 : static_cast<std::int64_t>(dimensione / lunghezza_riga));
  if (!ec) precedenti.prevedi(dimensione);

  std::string codice_visto;  // the facility code of the previous line, looked up already
  const Struttura* struttura = nullptr;
  std::string_view linea;
  std::uint64_t lunghezza = 0;
  // The characters dividi_riga reads of the line that s.riga holds split: the next line of
  // the same ricetta only has the fields that differ split again.
  std::string precedente;
  bool prima_riga = true;
  for (;;) {
    ++s.totali.nrec;
    if (!lettore->leggi(linea, lunghezza)) break;

    if (lunghezza != lunghezza_riga) {
      RigaReport info;
      info.riga = s.totali.nrighe + 1;
      info.regola = Regola::lunghezza_errata;
      report.scrivi(info, {" Lunghezza file errata "});
      ui.aggiungi_stato("Lunghezza file ERRATA");
      if (s.risu == 0) {
        ui.puntatore_occupato(false);
        risu = s.risu;
        ris.totali = s.totali;
        return fine_report(EsitoRun::lunghezza_errata);
      }
    }

    ++s.totali.nrighe;
    ui.avanza_progresso(s.totali.nrighe);
    regola_dieci_prestazioni(s);
    s.linea = linea;
    if (prima_riga)
      dividi_riga(linea, s.riga);
    else
      dividi_riga(linea, precedente, s.riga);
    precedente.assign(linea.substr(0, lunghezza_letta));
    prima_riga = false;
    s.ricetta.memorizza(s.ricetta.nprest, s.riga);

    if (!struttura || s.riga.cod_struttura != codice_visto) {
      codice_visto = s.riga.cod_struttura;
      struttura = strutture.cerca(codice_visto);
      if (!struttura) {
        ui.messaggio("STRUTTURA NON TROVATA");
        ui.puntatore_occupato(false);
        risu = s.risu;
        ris.totali = s.totali;
        return fine_report(EsitoRun::struttura_non_trovata);
      }
      s.codice_struttura = struttura->codice;
      if (struttura->denominazione != nome_struttura) {
        nome_struttura = struttura->denominazione;
        ui.imposta_struttura(nome_struttura);
      }
    }

    assembla_ricetta(s, precedenti);
    controlla_linea(s);
    if (s.e_riga_99()) {
      chiudi_ricetta(s);
      ++s.totali.nricette;
      controlla_chiusura(s);
      azzera_ricetta(s);
    }
    precedenti.aggiungi(s.riga.num_ricetta);
    if (report.in_errore()) break;
  }

  ui.puntatore_occupato(false);
  risu = s.risu;
  ris.totali = s.totali;
  if (lettore->errore()) {
    ui.messaggio("Impossibile leggere il file " + testo_percorso(par.percorso_file) + " : " +
                 std::strerror(lettore->codice_errore()));
    return fine_report(EsitoRun::file_non_leggibile);
  }
  if (s.ricetta.err_ricetta == 1) chiudi_blocco(s, s.totali.nrighe);
  if (s.risu == 1) {
    report.scrivi(TipoRigaReport::spaziatura, {});
    report.scrivi(TipoRigaReport::data_controllo, {"Data controllo : ", data_breve(oggi)});
  }
  fine_report(s.risu == 1 ? EsitoRun::con_errori : EsitoRun::corretto);
  if (ris.esito == EsitoRun::report_non_scrivibile) return ris;
  if (s.risu == 1) {
    ui.aggiungi_stato("Il file contiene ERRORI rilevanti");
  } else {
    aggiungi_riepilogo(ui, s.totali);
    ui.abilita_stampa(false);
  }
  return ris;
}

RisultatoRun importa(const ParametriRun& parametri, Interfaccia& ui, const Orologio& orologio) {
  int simu = 0, risu = 0;
  return importa(parametri, ui, orologio, simu, risu);
}

}  // namespace flussom

#include "run/importa.h"

#include <cstring>
#include <memory>
#include <optional>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "base/piattaforma.h"
#include "base/formato.h"
#include "base/lettore_righe.h"
#include "base/testo.h"
#include "model/indice_ricette.h"
#include "model/strutture.h"
#include "reference/tabelle.h"
#include "rules/percorso_riga.h"
#include "rules/regole_ricetta.h"
#include "rules/stato_run.h"
#include "run/coda_lavori.h"
#include "run/controllo_pezzo.h"
#include "run/pezzi_file.h"

namespace flussom {

namespace fs = std::filesystem;

namespace {

// How often the line loop asks whether the run is to stop.
constexpr std::int64_t righe_tra_domande = 4096;

const char* const mesi[13] = {"",           "GENNAIO   ", "FEBBRAIO  ", "MARZO     ",
                              "APRILE    ", "MAGGIO    ", "GIUGNO    ", "LUGLIO    ",
                              "AGOSTO    ", "SETTEMBRE ", "OTTOBRE   ", "NOVEMBRE  ",
                              "DICEMBRE  "};

struct ChiudiFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, ChiudiFile>;

std::string messaggio_file_illeggibile(const fs::path& p, std::string_view motivo) {
  return "Impossibile leggere il file " + testo_cp1252(p) + " : " + std::string(motivo);
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

void riepilogo(EventiRun& ev, const TotaliVerifica& t) {
  ev.riga_stato("IL FILE E' CORRETTO");
  ev.riga_stato("Ricette lette    nr " + formato_migliaia(static_cast<double>(t.nricette)));
  ev.riga_stato("Records letti    nr " + formato_migliaia(static_cast<double>(t.record())));
  ev.riga_stato("Prestazioni      nr " + formato_migliaia(t.nprestazioni));
  ev.riga_stato("Totale         \x80  " + formato_totale(t.totale()));
  ev.riga_stato("Totale Ticket  \x80  " + formato_totale(t.tot_ticket) + "  Totale Netto  \x80 " +
                formato_totale(t.tot_netto));
  ev.riga_stato("Totale Sconto  \x80  " + formato_totale(t.tot_sconto) +
                "  Totale Netto ASP  \x80 " + formato_totale(t.netto_scontato()));
}

// Hands the report's lines to the run's listener.
class InoltroReport : public OsservatoreReport {
 public:
  explicit InoltroReport(EventiRun& ev) : ev_(ev) {}
  void riga_report(const RigaReport& r) override { ev_.riga_report(r); }

 private:
  EventiRun& ev_;
};

// One run, step by step. The data file is opened and read once: its first line gives the
// facility, then the check goes on from the same reader, so a pipe is read whole and only
// once. strutture.DAT is read once, and again only after a registration.
class Run {
 public:
  Run(const ParametriRun& par, EventiRun& ev, const Orologio& orologio)
      : par_(par), ev_(ev), oggi_(orologio.oggi()), inoltro_(ev) {
    report_.osserva(&inoltro_);
  }

  RisultatoRun esegui() {
    for (const std::string& a : avvisi_tabelle(par_.cartella)) ev_.avviso(a);
    if (par_.file_scelto()) {
      if (!apri_dati()) return esito(EsitoRun::file_non_leggibile);
      if (!struttura_del_file()) return esito(EsitoRun::programma_terminato);
    }
    // Stopped while the facility question was on show: the report stays as it was.
    if (da_interrompere()) return esito(EsitoRun::interrotto);
    if (const std::optional<EsitoRun> e = blocca_report()) return esito(*e);
    ev_.report_azzerato();
    if (!crea_report()) return esito(EsitoRun::report_non_scrivibile);
    if (!par_.file_scelto()) return chiudi_report(EsitoRun::nessun_file);
    if (!intestazione()) return chiudi_report(EsitoRun::mese_non_definito);
    Tabelle tabelle(par_.cartella);
    StatoRun s(report_, tabelle, static_cast<int>(oggi_.year()));
    const std::optional<EsitoRun> interrotto = ciclo_righe(s);
    ris_.errori_nel_report = s.risu;
    ris_.totali = s.totali;
    return verdetto(interrotto ? *interrotto : fine_file(s));
  }

 private:
  RisultatoRun esito(EsitoRun e) {
    ris_.esito = e;
    return ris_;
  }

  // Opens the data file: a regular file or a pipe, and never the report of the same folder
  // (recreating the report would destroy it). A pipe that brings nothing is no data file.
  bool apri_dati() {
    if (stesso_file(par_.percorso_file, par_.report())) {
      ev_.messaggio("Il file " + testo_cp1252(par_.percorso_file) +
                    " \xE8 il report errori.RPT: nessun controllo eseguito, scegliere il file dati");
      return false;
    }
    std::string motivo;
    dati_.reset(apri_in_lettura(par_.percorso_file, &pipe_, motivo));
    if (!dati_) {
      ev_.messaggio(messaggio_file_illeggibile(par_.percorso_file, motivo));
      return false;
    }
    lettore_.emplace(dati_.get());
    if (pipe_ && lettore_->anteprima(1).empty() && lettore_->fine_file()) {
      ev_.messaggio(messaggio_file_illeggibile(par_.percorso_file, "nessun dato ricevuto"));
      return false;
    }
    return true;
  }

  // The facility of the file from its first line, offering to register it while missing.
  // False when the operator ended the program in the registration.
  bool struttura_del_file() {
    const std::string codstru(trim(campo(lettore_->anteprima(lunghezza_riga), posizione_struttura, lunghezza_struttura)));
    for (;;) {
      strutture_ = TabellaStrutture::leggi(par_.cartella);
      if (const Struttura* s = strutture_.cerca(codstru)) {
        nome_struttura_ = s->denominazione;
        ris_.codice_struttura = s->codice;
        ris_.denominazione_struttura = s->denominazione;
        ev_.struttura_trovata(nome_struttura_);
        return true;
      }
      if (!ev_.domanda("STRUTTURA NON TROVATA! Vuole inserirla ")) return true;
      if (ev_.registrazione_richiesta(codstru) == EsitoRegistrazione::fine_programma) return false;
    }
  }

  // The application folder's report is one run's at a time: its lock is held from before
  // the report is recreated to the end of the run. The outcome when it cannot be taken.
  std::optional<EsitoRun> blocca_report() {
    if (!par_.percorso_report.empty()) return std::nullopt;
    const fs::path blocco = file_blocco_report(par_.cartella);
    bool occupato = false;
    std::string motivo;
    blocco_.reset(prendi_blocco(blocco, occupato, motivo));
    if (blocco_) return std::nullopt;
    if (occupato) {
      ev_.messaggio("Un altro controllo \xE8 in corso nella cartella " + testo_cp1252(par_.cartella) +
                    ": riprovare al termine");
      return EsitoRun::controllo_in_corso;
    }
    ev_.messaggio("Impossibile scrivere il report " + testo_cp1252(par_.report()) + " : blocco " +
                  testo_cp1252(blocco) + " : " + motivo);
    return EsitoRun::report_non_scrivibile;
  }

  // The folder's report is recreated in place; any other report (a batch's) appears whole
  // at the end of the run or not at all.
  bool crea_report() {
    std::string motivo;
    const bool creato = par_.percorso_report.empty() ? report_.crea(par_.report(), motivo)
                                                     : report_.crea_intero(par_.report(), motivo);
    if (creato) return true;
    ev_.messaggio("Impossibile scrivere il report " + testo_cp1252(report_.percorso()) + " : " + motivo);
    return false;
  }

  // Closes the report; a report that could not be written makes the run's outcome.
  RisultatoRun chiudi_report(EsitoRun e) {
    if (!report_.chiudi()) {
      ev_.messaggio("Impossibile scrivere il report " + testo_cp1252(report_.percorso()) + " : " +
                    report_.errore());
      e = EsitoRun::report_non_scrivibile;
    } else if (IdentitaFile id; identita_file(report_.percorso(), id)) {
      ris_.report_scritto = id;
    }
    return esito(e);
  }

  // The report's header; false (the month error reported) when the file name has no month.
  bool intestazione() {
    const std::string nome = testo_cp1252(par_.percorso_file.filename());
    const int mese = mese_del_file(nome);
    if (mese < 0) {
      ev_.messaggio("NEL FILE IL MESE NON E'DEFINITO");
      RigaReport info;
      info.regola = Regola::mese_non_definito;
      report_.scrivi(info, {"nel file il mese non \xE8 definito "});
      ris_.errori_nel_report = true;
      return false;
    }
    ris_.mese = mese;
    constexpr auto testa = TipoRigaReport::intestazione;
    report_.scrivi(testa, {"Struttura : ", nome_struttura_});
    report_.scrivi(testa, {});
    report_.scrivi(testa, {"File controllato :", nome, "    ", mesi[mese]});
    report_.scrivi(testa, {});
    report_.scrivi(testa, {"Elenco errori riscontrati "});
    report_.scrivi(testa, {});
    return true;
  }

  // Every line through the ricetta rules and the checks. The outcome when the run stops
  // before the end of the file, nothing when the lines ran out (or the report failed).
  std::optional<EsitoRun> ciclo_righe(StatoRun& s) {
    IndiceRicette precedenti;
    ev_.lettura_iniziata();
    std::error_code ec;
    const auto dimensione = pipe_ ? 0 : fs::file_size(par_.percorso_file, ec);
    ev_.intervallo_progresso(0, ec ? 0 : static_cast<std::int64_t>(dimensione / lunghezza_riga));
    if (!ec) precedenti.prevedi(dimensione);
    const std::optional<EsitoRun> e =
        !ec && due_core(dimensione) ? ciclo_pezzi(s, precedenti) : righe_da(*lettore_, s, precedenti);
    // The pass of the loop that met the end of the file is counted too.
    if (!e && !report_.in_errore()) ++s.totali.nrec;
    ev_.lettura_finita();
    return e;
  }

  // A large file is cut into pieces that two cores check at once, when every table is
  // there to be read by both (a missing table is created at its first use, by one run) and
  // its first line is not far longer than a data line (a file that is no data file is read
  // line by line, in the least memory).
  bool due_core(std::uintmax_t dimensione) {
    constexpr std::size_t riga_lunga = LettoreRighe::byte_conservati;
    return par_.pezzo > 0 && !pipe_ && dimensione >= 2 * par_.pezzo && Tabelle::mancanti(par_.cartella).empty() &&
           Tabelle::inutilizzabili(par_.cartella).empty() && lettore_->anteprima(riga_lunga).size() < riga_lunga;
  }

  // The lines of `righe`, one by one, from where the run stands.
  std::optional<EsitoRun> righe_da(LettoreRighe& righe, StatoRun& s, IndiceRicette& precedenti) {
    std::string_view linea;
    std::uint64_t lunghezza = 0;
    for (;;) {
      if (s.totali.nrighe % righe_tra_domande == 0 && da_interrompere()) return EsitoRun::interrotto;
      if (!righe.leggi(linea, lunghezza)) return std::nullopt;
      ++s.totali.nrec;
      if (lunghezza != lunghezza_riga) {
        RigaReport info;
        info.riga = s.totali.nrighe + 1;
        info.regola = Regola::lunghezza_errata;
        report_.scrivi(info, {" Lunghezza file errata "});
        ev_.riga_stato("Lunghezza file ERRATA");
        if (!s.risu) return EsitoRun::lunghezza_errata;
      }
      ++s.totali.nrighe;
      ev_.progresso(s.totali.nrighe);
      conta_riga(s);
      leggi_riga(s, linea);
      anticipa_prossima(righe, precedenti, linea);
      if (!struttura_della_riga(s, s.riga.cod_struttura)) {
        ev_.messaggio("STRUTTURA NON TROVATA");
        return EsitoRun::struttura_non_trovata;
      }
      percorri_riga(s, precedenti);
      if (report_.in_errore()) return std::nullopt;
    }
  }

  // The file in pieces, then what the pieces left line by line.
  std::optional<EsitoRun> ciclo_pezzi(StatoRun& s, IndiceRicette& precedenti) {
    LettorePezzi pezzi(dati_.get(), lettore_->gia_letto());
    const std::optional<EsitoRun> e = pezzi_su_due_core(s, precedenti, pezzi);
    if (e || report_.in_errore()) return e;
    return coda(s, precedenti, pezzi);
  }

  // Two other threads check the pieces, while this one reads the next and takes each in, in
  // the file's order. A few pieces wait their turn, so that a thread is seldom without one.
  // When most pieces have to be checked again (a file of many repeated numbers or lines of
  // the wrong length), no more are read: the rest of the file goes line by line.
  std::optional<EsitoRun> pezzi_su_due_core(StatoRun& s, IndiceRicette& precedenti, LettorePezzi& pezzi) {
    constexpr std::size_t in_volo = 4;  // pieces read and not yet taken in
    const int anno = static_cast<int>(oggi_.year());
    Tabelle tabelle_1(par_.cartella), tabelle_2(par_.cartella);
    ControlloPezzo controllo[2] = {{tabelle_1, strutture_, anno, par_.interrompi},
                                   {tabelle_2, strutture_, anno, par_.interrompi}};
    Pezzo pezzo[in_volo];
    EsitoPezzo esito[in_volo];
    CodaLavori coda(2);    // after what its tasks use: it ends first
    std::size_t letti = 0;  // piece k is in pezzo[k % in_volo]
    bool finiti = false;    // the reader has no more pieces
    const auto leggi = [&] {
      finiti = finiti || pezzi_rifatti_ > pezzi_presi_ + in_volo ||
               !pezzi.prossimo(pezzo[letti % in_volo], par_.pezzo);
      if (finiti) return;
      coda.aggiungi([&, k = letti](unsigned t) { controllo[t].controlla(pezzo[k % in_volo].testo(), esito[k % in_volo]); });
      ++letti;
    };
    while (letti < in_volo && !finiti) leggi();
    for (std::size_t k = 0; k < letti; ++k) {
      coda.attendi(k);
      if (const std::optional<EsitoRun> e = prendi(s, precedenti, pezzo[k % in_volo], esito[k % in_volo]);
          e || report_.in_errore())
        return e;
      leggi();  // piece k + in_volo, where piece k was
    }
    return std::nullopt;
  }

  // What the pieces left, line by line: the end of the file, or the rest after a line too
  // long for a piece or a read error (told at the end, as the line reader would).
  std::optional<EsitoRun> coda(StatoRun& s, IndiceRicette& precedenti, const LettorePezzi& pezzi) {
    if (pezzi.in_errore()) {
      errore_lettura_ = pezzi.errore();
      LettoreRighe resto(pezzi.resto());
      return righe_da(resto, s, precedenti);
    }
    lettore_.emplace(dati_.get(), pezzi.resto());
    return righe_da(*lettore_, s, precedenti);
  }

  // A piece checked on its own taken into the run, or checked again line by line when what
  // it assumed does not hold. The outcome when the run stops there.
  std::optional<EsitoRun> prendi(StatoRun& s, IndiceRicette& precedenti, const Pezzo& p, const EsitoPezzo& e) {
    if (da_interrompere()) return EsitoRun::interrotto;
    const bool registrata = (struttura_ && e.codice_struttura == codice_visto_) || strutture_.cerca(e.codice_struttura);
    if (!registrata || !pezzo_valido(s, precedenti, e)) {
      ++pezzi_rifatti_;
      LettoreRighe righe(p.testo());
      return righe_da(righe, s, precedenti);
    }
    ++pezzi_presi_;
    struttura_della_riga(s, e.codice_struttura);  // told before the piece's lines, as line by line
    prendi_pezzo(s, precedenti, e);
    ev_.progresso(s.totali.nrighe);
    return std::nullopt;
  }

  // When the next line is in the block already and its prescription number is not this
  // line's, the index fetches that number's place while this line is checked: the lookup
  // of a new ricetta's number then seldom waits for memory.
  void anticipa_prossima(const LettoreRighe& righe, const IndiceRicette& precedenti, std::string_view linea) const {
    const auto [posizione, lunghezza] = posizione_campo(CampoRiga::num_ricetta);
    const std::string_view dopo = righe.gia_letto();
    if (dopo.size() < posizione + lunghezza || linea.size() < posizione + lunghezza) return;
    const std::string_view numero = dopo.substr(posizione - 1, lunghezza);
    if (numero != linea.substr(posizione - 1, lunghezza)) precedenti.anticipa(trim(numero));
  }

  // Looks the line's facility up when it differs from the previous line's; false when it
  // is not registered.
  bool struttura_della_riga(StatoRun& s, std::string_view codice) {
    if (struttura_ && codice == codice_visto_) return true;
    codice_visto_ = codice;
    struttura_ = strutture_.cerca(codice_visto_);
    if (!struttura_) return false;
    s.codice_struttura = struttura_->codice;
    if (struttura_->denominazione != nome_struttura_) {
      nome_struttura_ = struttura_->denominazione;
      ev_.struttura_trovata(nome_struttura_);
    }
    return true;
  }

  // The end of the file: a read error, or the last ricetta ended, its block closed and the
  // date of the check.
  EsitoRun fine_file(StatoRun& s) {
    if (lettore_->in_errore() || !errore_lettura_.empty()) {
      const std::string motivo = lettore_->in_errore() ? lettore_->errore() : errore_lettura_;
      ev_.messaggio(messaggio_file_illeggibile(par_.percorso_file, motivo));
      return EsitoRun::file_non_leggibile;
    }
    fine_ricette(s);
    if (s.risu) {
      report_.scrivi(TipoRigaReport::spaziatura, {});
      report_.scrivi(TipoRigaReport::data_controllo, {"Data controllo : ", data_breve(oggi_)});
    }
    return s.risu ? EsitoRun::con_errori : EsitoRun::corretto;
  }

  bool da_interrompere() const { return par_.interrompi && par_.interrompi->load(std::memory_order_relaxed); }

  // The report closed, and the verdict in the status text. An interrupted run has no
  // verdict: a report written whole is dropped, as if the run had not started.
  RisultatoRun verdetto(EsitoRun e) {
    if (e == EsitoRun::interrotto && !par_.percorso_report.empty()) {
      report_.abbandona();
      return esito(e);
    }
    chiudi_report(e);
    if (e == EsitoRun::con_errori && ris_.esito == e)
      ev_.riga_stato("Il file contiene ERRORI rilevanti");
    else if (e == EsitoRun::corretto && ris_.esito == e)
      riepilogo(ev_, ris_.totali);
    return ris_;
  }

  const ParametriRun& par_;
  EventiRun& ev_;
  const std::chrono::year_month_day oggi_;
  File dati_;
  File blocco_;  // the lock of the folder's report, held to the end of the run
  bool pipe_ = false;
  std::optional<LettoreRighe> lettore_;
  std::string errore_lettura_;  // a read error met while the file was read in pieces
  std::size_t pezzi_presi_ = 0, pezzi_rifatti_ = 0;  // taken in as checked, or checked again
  TabellaStrutture strutture_;
  std::string nome_struttura_;  // empty when the operator would not register the facility
  std::string codice_visto_;    // the facility code of the previous line, looked up already
  const Struttura* struttura_ = nullptr;
  InoltroReport inoltro_;
  ReportErrori report_;
  RisultatoRun ris_;
};

}  // namespace

std::vector<std::string> avvisi_tabelle(const fs::path& cartella) {
  std::vector<std::string> avvisi;
  for (const std::string& nome : Tabelle::mancanti(cartella))
    avvisi.push_back("Attenzione: tabella mancante " + testo_cp1252(cartella / nome));
  for (const std::string& nome : Tabelle::inutilizzabili(cartella))
    avvisi.push_back("Attenzione: tabella inutilizzabile " + testo_cp1252(cartella / nome) +
                     " : non \xE8 un file regolare, trattata come mancante");
  return avvisi;
}

fs::path file_blocco_report(const fs::path& cartella) { return cartella / "errori.RPT.lck"; }

std::vector<fs::path> file_protetti(const ParametriRun& par) {
  std::vector<fs::path> p = {par.report(), par.cartella / "errori.RPT", file_blocco_report(par.cartella)};
  if (par.file_scelto()) p.push_back(par.percorso_file);
  for (const std::string& nome : Tabelle::nomi()) p.push_back(par.cartella / nome);
  return p;
}

RisultatoRun importa(const ParametriRun& par, EventiRun& eventi, const Orologio& orologio) {
  eventi.run_iniziato(par);
  // The run, and the folder's report with it, is held until its end has been told.
  Run run(par, eventi, orologio);
  const RisultatoRun ris = run.esegui();
  eventi.run_finito(ris);
  return ris;
}

}  // namespace flussom

// The state of one check run, handed by reference to every rule.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "model/report_errori.h"
#include "model/ricetta.h"
#include "model/riga_flusso.h"
#include "model/totali.h"
#include "reference/tabelle.h"

namespace flussom {

struct StatoRun {
  StatoRun(ReportErrori& report_, Tabelle& tabelle_, int anno_corrente_)
      : report(report_), tabelle(tabelle_), anno_corrente(anno_corrente_) {}

  ReportErrori& report;
  Tabelle& tabelle;
  int anno_corrente;           // the year of "today"

  std::string_view linea;      // the raw line being checked
  RigaFlusso riga;             // that line, split
  RicettaCorrente ricetta;
  TotaliVerifica totali;
  std::string codice_struttura;  // the facility code matched for this line, as the table holds it
  bool risu = false;  // some error has been written
  AddendiTotali* addendi = nullptr;  // when set, every amount added to the totals is kept here too

  // Records an error of the current line: appends the message made of the pieces, then
  // sets err_ricetta and risu.
  void errore(Regola regola, std::initializer_list<std::string_view> pezzi) {
    errore(regola, totali.nrighe, pezzi);
  }
  // The same for an error about data-file line `riga` (0: about no single line).
  void errore(Regola regola, std::int64_t riga, std::initializer_list<std::string_view> pezzi) {
    RigaReport info;
    info.riga = riga;
    info.regola = regola;
    report.scrivi(info, pezzi);
    ricetta.err_ricetta = true;
    risu = true;
  }

  // The line is a closing row, as its ricetta read it when it took the line.
  bool e_riga_99() const { return ricetta.chiusura(); }
  // Slot nprest: the current line's per-line values (the closing-row-only case reads slot 2).
  const SlotRiga& slot_corrente() const { return ricetta.slot(ricetta.nprest); }
};

}  // namespace flussom

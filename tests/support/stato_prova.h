// A run's state over a temporary folder of its own, as the tests of the rules drive it.
#pragma once

#include <string>

#include "rules/stato_run.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"

namespace flussom::prova {

// A field of a test line and the text put in it.
template <class Riga, class Testo = std::string>
struct CampoDi {
  Testo Riga::*campo;
  std::string testo;
};
using Campo = CampoDi<RigaProva>;

struct StatoProva {
  explicit StatoProva(int anno) : s(report, tabelle, anno) {}
  // What the report gained since the last call.
  std::string nuovo() {
    std::string t = report.contenuto().substr(letto);
    letto += t.size();
    return t;
  }

  CartellaTemporanea cartella;
  Tabelle tabelle{cartella.percorso()};
  ReportErrori report;
  StatoRun s;
  std::size_t letto = 0;
};

}  // namespace flussom::prova

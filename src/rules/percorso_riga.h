// A line's way through the rules, in its fixed order: the run and the tests drive every line
// through these two calls, so the order lives here only.
#pragma once

#include "model/indice_ricette.h"
#include "rules/stato_run.h"

namespace flussom {

// Before the line is split: it is counted in its ricetta (and the ten-services rule applies),
// which gives the slot the split fills.
void conta_riga(StatoRun& s);

// The split: the line into s.riga, which its ricetta takes as its current line.
void leggi_riga(StatoRun& s, std::string_view linea);

// What the rules may do with a line.
enum class Verifiche {
  tutte,   // the ricetta rules, the line checks and, on a closing row, the prescription checks
  ricetta  // the ricetta rules only
};

// After the split (and the lookup of the line's facility): the ricetta rules, the checks,
// the closing of the ricetta on its closing row; the line's prescription number then joins
// `precedenti`, the numbers of every earlier line.
void percorri_riga(StatoRun& s, IndiceRicette& precedenti, Verifiche verifiche = Verifiche::tutte);

}  // namespace flussom

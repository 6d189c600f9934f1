// The counters and money totals of one run.
#pragma once

#include <cstdint>
#include <vector>

namespace flussom {

struct TotaliVerifica {
  std::int64_t nrec = 0;         // passes of the read loop, the one that meets the end included
  std::int64_t nrighe = 0;       // lines read that passed (or were let through) the length rule
  std::int64_t nricette = 0;     // closing rows read
  double nprestazioni = 0;       // sum of the quantities of all lines
  double tot_ticket = 0;         // sum of the closing rows' ticket amounts
  double tot_netto = 0;          // sum of the closing rows' net amounts
  double tot_sconto = 0;         // sum of the service lines' discounts
  std::int64_t nric_errate = 0;  // ricette whose error block was closed

  // The figures the summary derives from the totals, made here once for every result.
  double totale() const { return tot_ticket + tot_netto; }
  double netto_scontato() const { return tot_netto - tot_sconto; }
  std::int64_t record() const { return nrec - 1; }  // the data lines read
};

// The amounts added to the money totals, in the order they were added: added again in that
// order to the totals of a run, they give the same sums to the last bit, as if the lines
// had been checked by that run. An amount of zero changes no sum and is not kept.
struct AddendiTotali {
  std::vector<double> prestazioni, ticket, netto, sconto;

  static void tieni(std::vector<double>& v, double x) {
    if (x != 0) v.push_back(x);
  }
  void aggiungi_a(TotaliVerifica& t) const {
    for (const double x : prestazioni) t.nprestazioni += x;
    for (const double x : ticket) t.tot_ticket += x;
    for (const double x : netto) t.tot_netto += x;
    for (const double x : sconto) t.tot_sconto += x;
  }
};

}  // namespace flussom

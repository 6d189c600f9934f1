#include "rules/percorso_riga.h"

#include <gtest/gtest.h>

#include "support/stato_prova.h"

namespace flussom {
namespace {

// Lines through their whole way: the run's totals grow once a line, whatever the checks
// find, and only there.
TEST(PercorsoRiga, TotalsGrowOnceALineEvenWithErrors) {
  prova::StatoProva p(2026);
  ASSERT_TRUE(prova::costruisci_in(p.cartella.percorso(), prova::tabelle_base()));  // 89.7: 20.66, discount 1.50
  IndiceRicette precedenti;
  const auto riga = [&](const prova::RigaProva& r) {
    ++p.s.totali.nrighe;
    conta_riga(p.s);
    dividi_riga(r.linea(), p.s.riga);
    p.s.ricetta.memorizza(p.s.ricetta.nprest, p.s.riga);
    percorri_riga(p.s, precedenti);
  };
  prova::RigaProva servizio;
  servizio.quantita = "002";
  servizio.importo = "0041,32";
  riga(servizio);
  riga(servizio.chiusura("0041,32", "0000,00"));  // correct: 2 visits as ticket
  servizio.num_ricetta = "190000000000002";
  servizio.quantita = "003";  // an amount that does not match, and a wrong total
  riga(servizio);
  riga(servizio.chiusura("0001,00", "0040,00"));
  prova::RigaProva sola = servizio.chiusura("0005,60", "");  // a closing row alone
  sola.num_ricetta = "190000000000003";
  riga(sola);
  EXPECT_NE(p.nuovo(), "");
  const TotaliVerifica& t = p.s.totali;
  EXPECT_EQ(t.nricette, 3);
  EXPECT_DOUBLE_EQ(t.nprestazioni, 2 + 3);  // the closing rows carry none
  EXPECT_DOUBLE_EQ(t.tot_sconto, 1.5 * 2 + 1.5 * 3);
  EXPECT_DOUBLE_EQ(t.tot_ticket, 41.32 + 1 + 5.6);
  EXPECT_DOUBLE_EQ(t.tot_netto, 0 + 40 + 0);
}

}  // namespace
}  // namespace flussom

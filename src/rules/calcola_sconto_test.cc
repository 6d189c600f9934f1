#include <gtest/gtest.h>

#include "reference/costruisci_tabelle.h"
#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

TEST(CalcolaSconto, DiscountTimesQuantity) {
  prova::StatoProva p(2024);
  StatoRun& s = p.s;
  // The discount of a line with this record number and quantity, as line nprest.
  const auto sconto = [&](std::size_t numero, const char* quantita, std::int64_t nprest = 1) {
    s.riga.quantita = quantita;
    s.ricetta.nprest = nprest;
    s.ricetta.memorizza(nprest, s.riga);
    return calcola_sconto(s, numero);
  };
  EXPECT_EQ(sconto(1, "3"), 0);  // SCONTI.DAT missing, and not created
  EXPECT_FALSE(std::filesystem::exists(p.cartella / "SCONTI.DAT"));
  // Discounts 1.50, none, 0.25, then a partial record.
  const auto rec = [](const std::string& sconto) { return prova::record(Tabella::sconti, {{"sconto", sconto}}, 'x'); };
  p.tabelle.sconti().carica_da(rec(*campo_sconto(150)) + rec("") + rec(*campo_sconto(25)) + rec(*campo_sconto(200)).substr(1));
  s.riga.quantita = "9";
  s.ricetta.memorizza(20, s.riga);
  const struct Caso { std::size_t numero; const char* quantita; std::int64_t nprest; double atteso; } casi[] = {
      {1, "3", 1, 4.5}, {3, "2", 1, 0.5}, {1, "0", 1, 0},
      {1, "2", 21, 3},  // past line 20: its own quantity
      {2, "3", 1, 0},   {4, "3", 1, 0},   {0, "3", 1, 0}};
  for (const Caso& c : casi) EXPECT_DOUBLE_EQ(sconto(c.numero, c.quantita, c.nprest), c.atteso) << c.numero;
  EXPECT_EQ(p.nuovo(), "");
}

// Through the service-row checks, on tables built as an installation builds them: a line
// with a wrong amount has its discount too.
TEST(CalcolaSconto, EvenOnALineWithAWrongAmount) {
  prova::StatoProva p(2026);
  ASSERT_TRUE(prova::costruisci_in(p.cartella.percorso(), prova::tabelle_base()));  // 89.7: 1.50
  StatoRun& s = p.s;
  prova::RigaProva r;
  r.quantita = "003";
  r.importo = "0010,00";
  double sconti = 0;
  for (const char* codice : {"89.7", "89.01", "Z99"}) {
    r.cod_prestazione = codice;
    dividi_riga(r.linea(), s.riga);
    s.ricetta.nprest = 1;
    s.ricetta.memorizza(1, s.riga);
    sconti += controlla_linea(s);
  }
  EXPECT_DOUBLE_EQ(sconti, 4.5);
  EXPECT_EQ(p.nuovo(),
            " Importo \x80 3,33 errato Cod.Prestaz.  89.7 (\x80 00020.66)  \r\n"
            " Importo \x80 3,33 errato Cod.Prestaz.  89.01 (\x80 00012.91)  \r\n"
            " Cod.Prestaz.  Z99 inesistente   \r\n");
}

}  // namespace
}  // namespace flussom

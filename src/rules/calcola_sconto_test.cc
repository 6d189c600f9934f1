#include <gtest/gtest.h>

#include <string>

#include "check/stato_run.h"
#include "reference/criptare.h"
#include "rules/regole.h"
#include "support/cartella_temporanea.h"
#include "support/tabelle_prova.h"

namespace flussom {
namespace {

// A SCONTI.DAT record holding the plain discount `chiaro`, scrambled and padded to 7.
std::string rec_sconti(const std::string& chiaro) {
  std::string sconto = chiaro;
  decriptare(sconto);
  // The field is trimmed before it is unscrambled: the stored form must not end in blanks.
  EXPECT_TRUE(sconto.empty() || (sconto.front() != ' ' && sconto.back() != ' ')) << chiaro;
  sconto.resize(7, ' ');
  return "xxxxxxx" + sconto;
}

class CalcolaSconto : public ::testing::Test {
 protected:
  CalcolaSconto() {
    tabelle.sconti().carica_da(rec_sconti("1.50") + rec_sconti("") + rec_sconti("abc") +
                               rec_sconti("0.25"));
  }

  // The discount total after a line with this quantity and record number.
  double sconto(std::size_t numero, const std::string& quantita, std::int64_t nprest = 1) {
    s.riga.quantita = quantita;
    s.ricetta.nprest = nprest;
    s.ricetta.memorizza(nprest, s.riga);
    calcola_sconto(s, numero);
    return s.totali.tot_sconto;
  }

  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
};

TEST_F(CalcolaSconto, ScontoPerUnitaPerQuantitaSiSomma) {
  EXPECT_DOUBLE_EQ(sconto(1, "3"), 4.5);
  EXPECT_DOUBLE_EQ(sconto(4, "2"), 5.0);
  // The total belongs to the run: nothing else touches it, nothing is reported.
  EXPECT_EQ(report.contenuto(), "");
  EXPECT_EQ(s.risu, 0);
}

TEST_F(CalcolaSconto, SenzaScontoValeZero) {
  EXPECT_EQ(sconto(1, "0"), 0);  // quantity 0
  EXPECT_EQ(sconto(2, "3"), 0);  // empty field
  EXPECT_EQ(sconto(3, "3"), 0);  // no digits
  EXPECT_EQ(sconto(5, "3"), 0);  // no such record
  EXPECT_EQ(sconto(0, "3"), 0);  // service not in the catalogue
}

TEST_F(CalcolaSconto, RecordParzialeNonConta) {
  tabelle.sconti().carica_da(rec_sconti("1.50") + rec_sconti("2").substr(0, 13));
  EXPECT_DOUBLE_EQ(sconto(2, "1"), 0);
  EXPECT_DOUBLE_EQ(sconto(1, "1"), 1.5);
}

TEST_F(CalcolaSconto, UnaRigaOltreLaVentesimaUsaLaPropriaQuantita) {
  s.riga.quantita = "9";
  s.ricetta.memorizza(20, s.riga);
  EXPECT_DOUBLE_EQ(sconto(1, "2", 21), 3.0);
}

TEST(CalcolaScontoTabelle, ScontiMancanteValeZeroENonVieneCreata) {
  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
  s.riga.quantita = "3";
  s.ricetta.nprest = 1;
  s.ricetta.memorizza(1, s.riga);
  calcola_sconto(s, 1);
  EXPECT_EQ(s.totali.tot_sconto, 0);
  EXPECT_FALSE(std::filesystem::exists(cartella / "SCONTI.DAT"));
}

// Through the whole pass of a line, on tables built as an installation builds them.
TEST(CalcolaScontoTabelle, LoScontoSiAggiungeAncheAUnaRigaConImportoErrato) {
  prova::CartellaTemporanea cartella;
  prova::SorgentiProva sorgenti;
  sorgenti.prestazioni = prova::intestazione_prestazioni +
                         "A01,VISITA,12.50,09,0.25\n"
                         "B02,ESAME,3,,1.50\n";
  ASSERT_TRUE(prova::costruisci_in(cartella.percorso(), sorgenti));
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
  RigaFlusso& r = s.riga;
  r.progressivo = "1";
  r.cod_fiscale = "RSSMRA80A01H501U";
  r.cod_prestazione = "B02";
  r.quantita = "3";
  r.importo = "10,00";
  s.ricetta.nprest = 1;
  s.ricetta.memorizza(1, r);
  controlla_linea(s);
  EXPECT_EQ(report.contenuto(),
            " Importo \x80 3,33 errato Cod.Prestaz.  B02 (\x80 00003.00)  \r\n");
  EXPECT_DOUBLE_EQ(s.totali.tot_sconto, 4.5);
  // An unknown service gets no discount.
  r.cod_prestazione = "Z99";
  s.ricetta.memorizza(1, r);
  controlla_linea(s);
  EXPECT_DOUBLE_EQ(s.totali.tot_sconto, 4.5);
  r.cod_prestazione = "A01";
  r.quantita = "2";
  r.importo = "25,00";
  s.ricetta.memorizza(1, r);
  controlla_linea(s);
  EXPECT_DOUBLE_EQ(s.totali.tot_sconto, 5.0);
}

}  // namespace
}  // namespace flussom

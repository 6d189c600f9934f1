#include "check/regole_ricetta.h"

#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

// Drives the ricetta rules over lines given as (num_ricetta, progressivo), the way the run
// does, without the line checks, and returns the report.
class Assemblaggio : public ::testing::Test {
 protected:
  Assemblaggio() : tabelle(dir.percorso()), s(report, tabelle, 2026) {}

  void riga(const std::string& numero, const std::string& progressivo) {
    regola_dieci_prestazioni(s);
    std::string l(222, ' ');
    l.replace(122, numero.size(), numero);
    l.replace(138, progressivo.size(), progressivo);
    s.linea = l;
    dividi_riga(l, s.riga);
    s.ricetta.memorizza(s.ricetta.nprest, s.riga);
    assembla_ricetta(s, precedenti);
    if (s.e_riga_99()) {
      chiudi_ricetta(s);
      azzera_ricetta(s);
    }
    precedenti.aggiungi(s.riga.num_ricetta);
  }
  void ricetta(const std::string& numero, int servizi) {
    for (int i = 1; i <= servizi; ++i) riga(numero, std::to_string(i));
    riga(numero, "99");
  }
  std::string fine() {
    if (s.ricetta.err_ricetta == 1) chiudi_blocco(s);
    return report.contenuto();
  }
  static std::string blocco(const std::string& n, const std::string& numero) {
    return n + " " + std::string(60, '.') + " Ricetta Nr   " + numero + "\r\n\r\n";
  }

  prova::CartellaTemporanea dir;
  ReportErrori report;
  Tabelle tabelle;
  StatoRun s;
  IndiceRicette precedenti;
};

TEST_F(Assemblaggio, TenServicesAndAClosingRowPass) {
  ricetta("R1", 10);
  EXPECT_EQ(fine(), "");
  EXPECT_EQ(s.risu, 0);
}

TEST_F(Assemblaggio, ElevenServicesReportTheClosingRow) {
  ricetta("R1", 11);
  EXPECT_EQ(fine(), " Superate le dieci prestazioni \r\n" + blocco("01", "R1"));
  EXPECT_EQ(s.totali.nric_errate, 1);
}

TEST_F(Assemblaggio, ClosingRowAloneHasNoDuplicateScan) {
  ricetta("R1", 1);
  riga("R1", "99");  // alone, and its number already occurred
  EXPECT_EQ(fine(), " E'presente solo la riga 99 \r\n" + blocco("01", "R1"));
}

TEST_F(Assemblaggio, EarlierBlockIsClosedBeforeAClosingRowAlone) {
  ricetta("R1", 11);
  riga("R2", "99");
  EXPECT_EQ(fine(), " Superate le dieci prestazioni \r\n" + blocco("01", "R1") +
                        " E'presente solo la riga 99 \r\n" + blocco("02", "R2"));
}

TEST_F(Assemblaggio, DuplicateNumberAnywhereEarlier) {
  ricetta("R1", 2);
  ricetta("R2", 1);
  ricetta("R1", 1);
  ricetta("R3", 1);
  EXPECT_EQ(fine(), " Ricetta gi\xE0 inserita nel file\r\n" + blocco("01", "R1"));
}

TEST_F(Assemblaggio, BlankNumbersAreNeverDuplicates) {
  ricetta("", 1);
  ricetta("", 1);
  EXPECT_EQ(fine(), "");
}

TEST_F(Assemblaggio, MissingClosingRow) {
  riga("R1", "1");
  riga("R1", "2");
  riga("R2", "1");
  EXPECT_EQ(s.ricetta.nprest, 3);  // the new number goes on counting
  riga("R2", "99");
  EXPECT_EQ(fine(), " Non \xE8 presente la riga 99 \r\n" + blocco("01", "R1"));
}

TEST_F(Assemblaggio, BlockOfAnErrorRicettaIsClosedAtTheNextRicetta) {
  ricetta("R1", 11);
  report.scrivi("-- second ricetta starts --");
  ricetta("R2", 1);
  EXPECT_EQ(fine(), " Superate le dieci prestazioni \r\n-- second ricetta starts --\r\n" +
                        blocco("01", "R1"));
}

TEST_F(Assemblaggio, LinesPastTheTwentiethReadTheirOwnValues) {
  for (int i = 1; i <= 25; ++i) {
    riga("R1", std::to_string(i));
    EXPECT_EQ(s.slot_corrente().quantita, "0");
  }
  EXPECT_EQ(s.ricetta.nprest, 25);
  riga("R1", "99");
  EXPECT_EQ(s.ricetta.nprest, 0);
  EXPECT_EQ(s.ricetta.slot(21).quantita, "");
}

}  // namespace
}  // namespace flussom

#include <gtest/gtest.h>

#include <string>

#include "check/stato_run.h"
#include "rules/regole.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

// An ICD9.DAT record: the code padded to its 6 characters, then 57 bytes of description.
std::string rec_icd9(std::string codice) {
  codice.resize(6, ' ');
  return codice + std::string(57, 'x');
}

class ControllaRiga : public ::testing::Test {
 protected:
  ControllaRiga() {
    tabelle.icd9().carica_da(rec_icd9("250") + rec_icd9("4011"));
    // A first service line that passes every check.
    r.cod_medico = "RSSMRA01";
    r.progressivo = "1";
    r.cod_fiscale = "RSSMRA80A01H501U";
    r.data_prenotazione = "24/10/2009";
    r.data_prestazione = "25/10/2009";
    r.cod_diagnosi = "4011";
    r.quantita = "1";
  }

  // Checks the line held in r as line n of its ricetta: the report lines it wrote.
  std::string controlla(std::int64_t n) {
    const std::size_t prima = report.contenuto().size();
    s.ricetta.nprest = n;
    s.ricetta.memorizza(n, r);
    controlla_riga(s);
    return report.contenuto().substr(prima);
  }

  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
  RigaFlusso& r = s.riga;
};

TEST_F(ControllaRiga, UnaRigaCorrettaNonScriveNulla) {
  EXPECT_EQ(controlla(1), "");
  EXPECT_EQ(s.ricetta.err_ricetta, 0);
  EXPECT_EQ(s.risu, 0);
}

TEST_F(ControllaRiga, OgniControlloScriveLaSuaRigaNellOrdineFisso) {
  r.cod_medico = "A,B?";
  r.progressivo = "7";
  r.quantita = "0";
  r.data_prenotazione = "26/10/2009";
  r.cod_fiscale = "ABC";
  r.cod_diagnosi = "999";
  EXPECT_EQ(controlla(1),
            " Medico prescrittore con caratteri errati A,B?\r\n"
            " Medico prescrittore con caratteri errati A,B?\r\n"
            " Numero progressivo prestazione errato     \r\n"
            " Quantit\xE0 errata (0)           \r\n"
            " Data prenotazione maggiore della data prestazione \r\n"
            " Codice fiscale ABC errato < 16 ctr\r\n"
            " Codice diagnosi 999 inesistente\r\n");
  EXPECT_EQ(s.ricetta.err_ricetta, 1);
  EXPECT_EQ(s.risu, 1);
}

TEST_F(ControllaRiga, MedicoConUnSoloCarattereErrato) {
  r.cod_medico = "AB?";
  EXPECT_EQ(controlla(1), " Medico prescrittore con caratteri errati AB?\r\n");
  r.cod_medico = ",";
  EXPECT_EQ(controlla(1), " Medico prescrittore con caratteri errati ,\r\n");
}

TEST_F(ControllaRiga, LaRigaDiChiusuraSaltaProgressivoEQuantita) {
  r.progressivo = "99";
  r.quantita = "0";
  r.cod_medico = "A,B";
  r.cod_fiscale = "";
  r.data_prenotazione = "26/10/2009";
  r.cod_diagnosi = "1";
  EXPECT_EQ(controlla(3),
            " Medico prescrittore con caratteri errati A,B\r\n"
            " Data prenotazione maggiore della data prestazione \r\n"
            " Codice fiscale  errato < 16 ctr\r\n"
            " Codice diagnosi 1 inesistente\r\n");
}

TEST_F(ControllaRiga, ProgressivoConfrontatoComeNumero) {
  r.progressivo = "01";
  EXPECT_EQ(controlla(1), "");
  // A second line that again carries row number 1.
  EXPECT_EQ(controlla(2), " Numero progressivo prestazione errato     \r\n");
  r.progressivo = "A";  // no digits: value 0, never a line's position
  EXPECT_EQ(controlla(1), " Numero progressivo prestazione errato     \r\n");
}

TEST_F(ControllaRiga, UnaRigaOltreLaVentesimaLeggeLaPropriaQuantita) {
  s.ricetta.memorizza(1, r);
  r.progressivo = "21";
  r.quantita = "0";
  EXPECT_EQ(controlla(21), " Quantit\xE0 errata (0)           \r\n");
  r.progressivo = "22";
  r.quantita = "2";
  EXPECT_EQ(controlla(22), "");
}

TEST_F(ControllaRiga, PrenotazioneConfrontataConLaPrimaDataDellaRicetta) {
  EXPECT_EQ(controlla(1), "");  // slot 1 holds 25/10/2009
  // The current line's own service date is later, but slot 1 decides.
  r.progressivo = "2";
  r.data_prenotazione = "26/10/2009";
  r.data_prestazione = "30/10/2009";
  EXPECT_EQ(controlla(2), " Data prenotazione maggiore della data prestazione \r\n");
}

TEST_F(ControllaRiga, PrenotazioneConfrontataPerChiaveAnnoMeseGiorno) {
  r.data_prenotazione = "25/10/2009";  // equal dates
  EXPECT_EQ(controlla(1), "");
  r.data_prenotazione = "31/12/2008";  // later day and month, earlier year
  r.data_prestazione = "01/01/2009";
  EXPECT_EQ(controlla(1), "");
  r.data_prenotazione = "01/01/2010";
  r.data_prestazione = "31/12/2009";
  EXPECT_EQ(controlla(1), " Data prenotazione maggiore della data prestazione \r\n");
}

TEST_F(ControllaRiga, DateVuoteOAZero) {
  r.data_prenotazione = "00000000";  // raw text: never later than a real date
  EXPECT_EQ(controlla(1), "");
  r.data_prenotazione = "";
  EXPECT_EQ(controlla(1), "");
  r.data_prenotazione = "24/10/2009";
  r.data_prestazione = "";  // an empty first date is earlier than any booking date
  EXPECT_EQ(controlla(1), " Data prenotazione maggiore della data prestazione \r\n");
}

TEST_F(ControllaRiga, CodiceFiscaleDiSedici) {
  r.cod_fiscale = "RSSMRA80A01H501";
  EXPECT_EQ(controlla(1), " Codice fiscale RSSMRA80A01H501 errato < 16 ctr\r\n");
  r.cod_fiscale = "RSSMRA80A01H501UX";
  EXPECT_EQ(controlla(1), " Codice fiscale RSSMRA80A01H501UX errato < 16 ctr\r\n");
}

TEST_F(ControllaRiga, DiagnosiCercataSoloSeNonVuota) {
  r.cod_diagnosi = "250";
  EXPECT_EQ(controlla(1), "");
  r.cod_diagnosi = "2501";
  EXPECT_EQ(controlla(1), " Codice diagnosi 2501 inesistente\r\n");
  // Case counts.
  tabelle.icd9().carica_da(rec_icd9("V01"));
  r.cod_diagnosi = "v01";
  EXPECT_EQ(controlla(1), " Codice diagnosi v01 inesistente\r\n");
}

TEST_F(ControllaRiga, DiagnosiVuotaNonCercataNeppureInTabellaVuota) {
  tabelle.icd9().carica_da("");
  r.cod_diagnosi = "";
  EXPECT_EQ(controlla(1), "");
  r.cod_diagnosi = "250";
  EXPECT_EQ(controlla(1), " Codice diagnosi 250 inesistente\r\n");
}

TEST(ControllaRigaTabelle, IcdMancanteCreataVuotaETuttiICodiciInesistenti) {
  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
  s.riga.progressivo = "1";
  s.riga.quantita = "1";
  s.riga.cod_fiscale = "RSSMRA80A01H501U";
  s.riga.cod_diagnosi = "250";
  s.ricetta.nprest = 1;
  s.ricetta.memorizza(1, s.riga);
  controlla_riga(s);
  EXPECT_EQ(report.contenuto(), " Codice diagnosi 250 inesistente\r\n");
}

}  // namespace
}  // namespace flussom

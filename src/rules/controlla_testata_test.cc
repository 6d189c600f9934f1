#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "check/report_errori.h"
#include "check/stato_run.h"
#include "reference/tabelle.h"
#include "rules/regole.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"
#include "support/tabelle_prova.h"

namespace flussom {
namespace {

using R = prova::RigaProva;

struct Campo {
  std::string R::*campo;
  std::string testo;
};

// A closing row (with the given fields changed) through controlla_testata in a fresh run
// state, against the test tables, in the year `anno`: the report it writes.
std::string testata(std::initializer_list<Campo> campi, int anno = 2026,
                    std::string_view struttura = "123456") {
  prova::CartellaTemporanea cartella;
  prova::costruisci_in(cartella.percorso(), prova::tabelle_base());  // COMUXX: 001001, 058091
  Tabelle tabelle(cartella.percorso());
  ReportErrori report;
  StatoRun s(report, tabelle, anno);
  R r = R().chiusura("0005,60", "00015,06");
  for (const Campo& c : campi) r.*c.campo = c.testo;
  const std::string linea = r.linea();
  s.linea = linea;
  dividi_riga(linea, s.riga);
  s.codice_struttura = struttura;
  controlla_testata(s);
  return report.contenuto();
}

TEST(ControllaTestata, UnaChiusuraCorrettaNonScriveNulla) { EXPECT_EQ(testata({}), ""); }

TEST(ControllaTestata, UnErroreAlzaIDueFlag) {
  prova::CartellaTemporanea cartella;  // no tables: COMUXX.DAT is created empty
  Tabelle tabelle(cartella.percorso());
  ReportErrori report;
  StatoRun s(report, tabelle, 2026);
  const std::string linea = R().chiusura("", "").linea();
  s.linea = linea;
  dividi_riga(linea, s.riga);
  s.codice_struttura = "123456";
  controlla_testata(s);
  EXPECT_EQ(report.contenuto(), " Comune residenza errato 001001\r\n");
  EXPECT_EQ(s.ricetta.err_ricetta, 1);
  EXPECT_EQ(s.risu, 1);
}

TEST(ControllaTestata, CodiceStrutturaComeStaNellaRiga) {
  EXPECT_EQ(testata({{&R::cod_struttura, "12345 "}}, 2026, "12345"),
            " Codice Struttura letto errato : 12345 \r\n");
  EXPECT_EQ(testata({{&R::cod_struttura, " 12345"}}, 2026, "12345"),
            " Codice Struttura letto errato :  12345\r\n");
}

TEST(ControllaTestata, NumeroRicettaAlmenoQuindiciCaratteri) {
  EXPECT_EQ(testata({{&R::num_ricetta, "19000000000001"}}), " Numero ricetta errato o mancante \r\n");
  EXPECT_EQ(testata({{&R::num_ricetta, ""}}), " Numero ricetta errato o mancante \r\n");
  EXPECT_EQ(testata({{&R::num_ricetta, "1900000000000012"}}), "");
}

TEST(ControllaTestata, CodiceFiscaleLunghezza) {
  EXPECT_EQ(testata({{&R::cod_fiscale, "RSSMRA80A01H501"}}),
            " Codice fiscale RSSMRA80A01H501 errato < 16 ctr\r\n");
  // Without a codice fiscale the sex must be 1 or 2.
  const std::string vuoto = " Codice fiscale  errato < 16 ctr\r\n";
  EXPECT_EQ(testata({{&R::cod_fiscale, ""}}), vuoto);
  EXPECT_EQ(testata({{&R::cod_fiscale, ""}, {&R::sesso, "2"}}), vuoto);
  EXPECT_EQ(testata({{&R::cod_fiscale, ""}, {&R::sesso, ""}}), vuoto + " Sesso errato o mancante      \r\n");
  EXPECT_EQ(testata({{&R::cod_fiscale, ""}, {&R::sesso, "0"}}), vuoto + " Sesso errato o mancante      \r\n");
}

TEST(ControllaTestata, CodiceFiscaleCarattereDiControllo) {
  EXPECT_EQ(testata({{&R::cod_fiscale, "RSSMRA80A01H501X"}}),
            " Codice fiscale RSSMRA80A01H501X errato ( RSSMRA80A01H501U )\r\n");
  // Lower case is reported even with the right check character.
  EXPECT_EQ(testata({{&R::cod_fiscale, "rssmra80a01h501u"}}),
            " Codice fiscale rssmra80a01h501u errato ( RSSMRA80A01H501U )\r\n");
}

TEST(ControllaTestata, CodiciSTPSenzaControlloSoloInMaiuscolo) {
  EXPECT_EQ(testata({{&R::cod_fiscale, "STP123456789012A"}}), "");
  EXPECT_EQ(testata({{&R::cod_fiscale, "stp123456789012A"}}),
            " Codice fiscale stp123456789012A errato ( STP123456789012K )\r\n");
}

TEST(ControllaTestata, CaratteriDelCognome) {
  const std::string riga = " Cognome con caratteri errati (";
  EXPECT_EQ(testata({{&R::cognome, "D'ANGELO"}}), "");
  EXPECT_EQ(testata({{&R::cognome, "DE-LUCA"}}), riga + "DE-LUCA)  \r\n");
  EXPECT_EQ(testata({{&R::cognome, "AB12"}}), riga + "AB12)  \r\n" + riga + "AB12)  \r\n");
  EXPECT_EQ(testata({{&R::cognome, "A#B1"}}), riga + "A#B1)  \r\n" + riga + "A#B1)  \r\n");
  // The edges of both ranges; accented letters (bytes above 127) pass.
  EXPECT_EQ(testata({{&R::cognome, "O'BRIEN ./A Z[`~\xC0\xE8"}}), "");
  EXPECT_EQ(testata({{&R::cognome, "0@!-"}}),
            riga + "0@!-)  \r\n" + riga + "0@!-)  \r\n" + riga + "0@!-)  \r\n" + riga + "0@!-)  \r\n");
}

TEST(ControllaTestata, CaratteriDelNomeDopoQuelliDelCognome) {
  EXPECT_EQ(testata({{&R::cognome, "R0SSI"}, {&R::nome, "ANNA-M"}}),
            " Cognome con caratteri errati (R0SSI)  \r\n Nome con caratteri errati (ANNA-M)  \r\n");
  EXPECT_EQ(testata({{&R::nome, "MARIA1"}}), " Nome con caratteri errati (MARIA1)  \r\n");
}

TEST(ControllaTestata, Sesso) {
  EXPECT_EQ(testata({{&R::sesso, "2"}}), "");
  EXPECT_EQ(testata({{&R::sesso, "0"}}), "");  // a codice fiscale is present
  EXPECT_EQ(testata({{&R::sesso, "M"}}), "");
  EXPECT_EQ(testata({{&R::sesso, "3"}}), " Sesso errato o mancante      \r\n");
  EXPECT_EQ(testata({{&R::sesso, "9"}}), " Sesso errato o mancante      \r\n");
}

TEST(ControllaTestata, RegioneEAzienda) {
  const std::string regione = " Codice Regione errato o mancante \r\n";
  EXPECT_EQ(testata({{&R::cod_regione, "019"}}), regione);
  EXPECT_EQ(testata({{&R::cod_regione, "191"}}), regione);
  EXPECT_EQ(testata({{&R::cod_regione, ""}}), regione);
  const std::string azienda = " Codice Azienda errato o mancante \r\n";
  EXPECT_EQ(testata({{&R::cod_azienda, "099"}}), azienda);
  EXPECT_EQ(testata({{&R::cod_azienda, "000"}}), azienda);
  EXPECT_EQ(testata({{&R::cod_azienda, ""}}), azienda);
  EXPECT_EQ(testata({{&R::cod_azienda, "100"}}), "");
}

TEST(ControllaTestata, ComuneDiResidenza) {
  const std::string vuoto = " Comune residenza vuoto       \r\n";
  EXPECT_EQ(testata({{&R::comune_res, ""}}), vuoto);
  EXPECT_EQ(testata({{&R::comune_res, "ABC"}}), vuoto);
  EXPECT_EQ(testata({{&R::comune_res, "000000"}}), vuoto);
  EXPECT_EQ(testata({{&R::comune_res, "058092"}}), " Comune residenza errato 058092\r\n");
  EXPECT_EQ(testata({{&R::comune_res, "1001"}}), " Comune residenza errato 1001\r\n");
  EXPECT_EQ(testata({{&R::comune_res, "058091"}}), "");
}

TEST(ControllaTestata, DataDiNascitaControllataSoloSeHaValore) {
  EXPECT_EQ(testata({{&R::data_nascita, "31021980"}}), " Data nascita errata 31/02/1980\r\n");
  EXPECT_EQ(testata({{&R::data_nascita, "01012027"}}), " Data nascita errata 01/01/2027\r\n");
  // Day 00, eight zeros, blanks: not checked at all, not even the age.
  EXPECT_EQ(testata({{&R::data_nascita, "00051900"}}), "");
  EXPECT_EQ(testata({{&R::data_nascita, "00000000"}}), "");
  EXPECT_EQ(testata({{&R::data_nascita, ""}}), "");
}

TEST(ControllaTestata, EtaOltreICentoAnni) {
  EXPECT_EQ(testata({{&R::data_nascita, "01011908"}}, 2009),
            " Controllare anno nascita (1908)  101 anni di et\xE0\r\n");
  EXPECT_EQ(testata({{&R::data_nascita, "31121909"}}, 2009), "");
  EXPECT_EQ(testata({{&R::data_nascita, "01011900"}}, 2026),
            " Controllare anno nascita (1900)  126 anni di et\xE0\r\n");
  // The age line follows the date line, whatever the date itself is worth.
  EXPECT_EQ(testata({{&R::data_nascita, "30021900"}}, 2026),
            " Data nascita errata 30/02/1900\r\n"
            " Controllare anno nascita (1900)  126 anni di et\xE0\r\n");
}

TEST(ControllaTestata, OgniControlloNellOrdine) {
  EXPECT_EQ(testata({{&R::cod_regione, "000"},
                     {&R::cod_azienda, "000"},
                     {&R::cod_struttura, "1234"},
                     {&R::num_ricetta, "1"},
                     {&R::cod_fiscale, ""},
                     {&R::cognome, "X1"},
                     {&R::nome, "Y-"},
                     {&R::sesso, "3"},
                     {&R::data_nascita, "32011800"},
                     {&R::comune_res, ""}},
                    2026, "1234"),
            " Codice Struttura letto errato : 1234  \r\n"
            " Numero ricetta errato o mancante \r\n"
            " Codice fiscale  errato < 16 ctr\r\n"
            " Cognome con caratteri errati (X1)  \r\n"
            " Nome con caratteri errati (Y-)  \r\n"
            " Sesso errato o mancante      \r\n"
            " Codice Regione errato o mancante \r\n"
            " Codice Azienda errato o mancante \r\n"
            " Comune residenza vuoto       \r\n"
            " Data nascita errata 32/01/1800\r\n"
            " Controllare anno nascita (1800)  226 anni di et\xE0\r\n");
}

}  // namespace
}  // namespace flussom

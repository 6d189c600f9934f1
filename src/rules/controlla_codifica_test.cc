#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "check/report_errori.h"
#include "check/stato_run.h"
#include "reference/tabelle.h"
#include "rules/regole.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

using R = prova::RigaProva;

struct Campo {
  std::string R::*campo;
  std::string testo;
};

class ControllaCodifica : public ::testing::Test {
 protected:
  // A ricetta of one service line and its closing row (or of the closing row alone), each
  // with the given fields changed, through controlla_codifica: the lines it writes.
  std::string controlla(std::initializer_list<Campo> chiusura, std::initializer_list<Campo> prima = {},
                        bool sola_chiusura = false) {
    R servizio;  // dated 05/10/2026
    for (const Campo& c : prima) servizio.*c.campo = c.testo;
    R finale = R().chiusura("0005,60", "00015,06");
    for (const Campo& c : chiusura) finale.*c.campo = c.testo;

    ReportErrori report;
    StatoRun s(report, tabelle, 2026);
    if (!sola_chiusura) {
      dividi_riga(servizio.linea(), s.riga);
      s.ricetta.memorizza(1, s.riga);
    }
    const std::string linea = finale.linea();
    s.linea = linea;
    dividi_riga(linea, s.riga);
    s.ricetta.memorizza(sola_chiusura ? 1 : 2, s.riga);
    s.ricetta.nprest = 2;  // a closing row alone has been moved on to index 2
    controlla_codifica(s);
    return report.contenuto();
  }

  prova::CartellaTemporanea cartella;
  Tabelle tabelle{cartella.percorso()};
};

TEST_F(ControllaCodifica, UnaRicettaCorrettaNonScriveNulla) {
  EXPECT_EQ(controlla({}), "");
  EXPECT_EQ(controlla({}, {}, true), "");
}

TEST_F(ControllaCodifica, BrancaEAslVuote) {
  EXPECT_EQ(controlla({{&R::cod_branca, "00"}}), " Codice Branca  vuoto         \r\n");
  EXPECT_EQ(controlla({{&R::cod_branca, ""}}), " Codice Branca  vuoto         \r\n");
  EXPECT_EQ(controlla({{&R::asl_res, "000"}}), " Codice ASL residenza vuoto   \r\n");
  EXPECT_EQ(controlla({{&R::asl_res, "AB"}}), " Codice ASL residenza vuoto   \r\n");
}

TEST_F(ControllaCodifica, NomenclatoreSoloXMinuscola) {
  EXPECT_EQ(controlla({{&R::cod_nomenclatore, "X"}}), " Codice nomenclatore errato X deve essere x\r\n");
  EXPECT_EQ(controlla({{&R::cod_nomenclatore, "1"}}), " Codice nomenclatore errato 1 deve essere x\r\n");
  EXPECT_EQ(controlla({{&R::cod_nomenclatore, ""}}), " Codice nomenclatore mancante  \r\n");
}

TEST_F(ControllaCodifica, DataDellaPrimaRigaDellaRicetta) {
  EXPECT_EQ(controlla({}, {{&R::data_prestazione, "31042026"}}), " Data errata 31/04/2026     \r\n");
  EXPECT_EQ(controlla({}, {{&R::data_prestazione, "05032027"}}), " Data errata 05/03/2027     \r\n");
  EXPECT_EQ(controlla({}, {{&R::data_prestazione, "00000000"}}),
            " Data errata 00000000     \r\n Data nascita maggiore della data prescriz.\r\n");
  // The closing row's own date does not count when the ricetta has service lines...
  EXPECT_EQ(controlla({{&R::data_prestazione, "31042026"}}), "");
  // ...and is the prescription date of a ricetta made of the closing row alone.
  EXPECT_EQ(controlla({{&R::data_prestazione, "31042026"}}, {}, true), " Data errata 31/04/2026     \r\n");
}

TEST_F(ControllaCodifica, DataDellaPrimaRigaVuota) {
  // An empty date gives the smallest key: any birth date is later.
  EXPECT_EQ(controlla({}, {{&R::data_prestazione, ""}}),
            " Data errata      \r\n Data nascita maggiore della data prescriz.\r\n");
  EXPECT_EQ(controlla({{&R::data_nascita, ""}}, {{&R::data_prestazione, ""}}), " Data errata      \r\n");
}

TEST_F(ControllaCodifica, NascitaDopoLaPrescrizione) {
  EXPECT_EQ(controlla({{&R::data_nascita, "05102026"}}), "");
  EXPECT_EQ(controlla({{&R::data_nascita, "06102026"}}), " Data nascita maggiore della data prescriz.\r\n");
  EXPECT_EQ(controlla({{&R::data_nascita, "01042025"}}, {{&R::data_prestazione, "31032025"}}),
            " Data nascita maggiore della data prescriz.\r\n");
  // Compared as texts, byte by byte as unsigned codes: a byte above 127 is greater than any
  // digit. The birth date is kept as written since it has no leading number.
  EXPECT_EQ(controlla({{&R::data_nascita, "0\xE0" "011990"}}, {{&R::data_prestazione, "05111990"}}),
            " Data nascita maggiore della data prescriz.\r\n");
  EXPECT_EQ(controlla({{&R::data_nascita, "0\xE0" "011990"}}, {{&R::data_prestazione, "05121990"}}), "");
}

TEST_F(ControllaCodifica, DatiAnagraficiEMedico) {
  EXPECT_EQ(controlla({{&R::cognome, ""}, {&R::nome, ""}, {&R::cod_fiscale, ""}, {&R::data_nascita, ""}}),
            " Dati anagrafici non presenti \r\n");
  EXPECT_EQ(controlla({{&R::cognome, ""}, {&R::nome, ""}, {&R::cod_fiscale, ""}, {&R::data_nascita, "00000000"}}),
            "");
  EXPECT_EQ(controlla({{&R::cognome, ""}, {&R::nome, ""}, {&R::data_nascita, ""}}), "");
  EXPECT_EQ(controlla({{&R::cod_medico, ""}}), " Medico prescrittore mancante \r\n");
}

TEST_F(ControllaCodifica, OgniControlloNellOrdine) {
  EXPECT_EQ(controlla({{&R::cod_branca, ""},
                       {&R::cod_medico, ""},
                       {&R::cognome, ""},
                       {&R::nome, ""},
                       {&R::cod_fiscale, ""},
                       {&R::data_nascita, "30022026"},
                       {&R::asl_res, ""},
                       {&R::cod_nomenclatore, "y"}},
                      {{&R::data_prestazione, "01022026"}}),
            " Codice Branca  vuoto         \r\n"
            " Codice ASL residenza vuoto   \r\n"
            " Codice nomenclatore errato y deve essere x\r\n"
            " Data nascita maggiore della data prescriz.\r\n"
            " Medico prescrittore mancante \r\n");
}

}  // namespace
}  // namespace flussom

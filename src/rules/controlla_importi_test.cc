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

class ControllaImporti : public ::testing::Test {
 protected:
  ControllaImporti() { prova::costruisci_in(cartella.percorso(), prova::tabelle_base()); }  // CODESE: 013, 0A31

  // A ricetta of one service line and its closing row (or of the closing row alone) through
  // controlla_importi, all in the same run: the lines it adds to the report. The closing
  // row declares ticket 5,60 and net 34,40 unless changed.
  std::string controlla(std::initializer_list<Campo> campi, double tot_calcolato = 40,
                        bool sola_chiusura = false) {
    R finale = R().chiusura("0005,60", "00034,40");
    for (const Campo& c : campi) finale.*c.campo = c.testo;
    s.ricetta.svuota_slot();
    if (!sola_chiusura) {
      RigaFlusso servizio;
      servizio.importo = "40,00";
      s.ricetta.memorizza(1, servizio);
    }
    const std::string linea = finale.linea();
    s.linea = linea;
    dividi_riga(linea, s.riga);
    s.ricetta.memorizza(sola_chiusura ? 1 : 2, s.riga);
    s.ricetta.nprest = 2;  // a closing row alone has been moved on to index 2
    s.ricetta.tot_calcolato = tot_calcolato;
    const std::size_t prima = report.contenuto().size();
    controlla_importi(s);
    return report.contenuto().substr(prima);
  }

  prova::CartellaTemporanea cartella;
  Tabelle tabelle{cartella.percorso()};
  ReportErrori report;
  StatoRun s{report, tabelle, 2026};
};

TEST_F(ControllaImporti, UnaRicettaCorrettaNonScriveNulla) {
  EXPECT_EQ(controlla({}), "");
  EXPECT_EQ(s.ricetta.err_ricetta, 0);
  EXPECT_EQ(s.risu, 0);
  EXPECT_DOUBLE_EQ(s.totali.tot_ticket, 5.6);
  EXPECT_DOUBLE_EQ(s.totali.tot_netto, 34.4);
}

TEST_F(ControllaImporti, ITotaliCresconoAncheConGliErrori) {
  EXPECT_EQ(controlla({{&R::importo_ticket, "0001,00"}, {&R::pos_contabile, "0"}}),
            " Posizione contabile errata o mancante \r\n Totale \x80  35.4 errato, calcolato  \x80 40,00\r\n");
  EXPECT_EQ(s.ricetta.err_ricetta, 1);
  EXPECT_EQ(s.risu, 1);
  // An amount without a comma is a whole number.
  EXPECT_EQ(controlla({{&R::importo, "00004000"}}, 4005.6), "");
  EXPECT_DOUBLE_EQ(s.totali.tot_ticket, 6.6);
  EXPECT_DOUBLE_EQ(s.totali.tot_netto, 4034.4);
}

TEST_F(ControllaImporti, TotaleDichiaratoControCalcolatoAlCentesimo) {
  EXPECT_EQ(controlla({}, 39.996), "");
  EXPECT_EQ(controlla({{&R::importo, "00034,41"}}), " Totale \x80  40.01 errato, calcolato  \x80 40,00\r\n");
  EXPECT_EQ(controlla({{&R::importo, "00040,00"}}), " Totale \x80  45.6 errato, calcolato  \x80 40,00\r\n");
}

TEST_F(ControllaImporti, TotaleDichiaratoComeNumeroSemplice) {
  EXPECT_EQ(controlla({{&R::pos_ticket, ""}, {&R::importo_ticket, "0000,50"}, {&R::importo, ""}}, 0),
            " Totale \x80  0.5 errato, calcolato  \x80 ,00\r\n");
  EXPECT_EQ(controlla({{&R::pos_ticket, ""}, {&R::importo_ticket, ""}, {&R::importo, ""}}),
            " Totale \x80  0 errato, calcolato  \x80 40,00\r\n");
  EXPECT_EQ(controlla({{&R::pos_ticket, ""}, {&R::importo_ticket, "-005,00"}, {&R::importo, ""}}, 0),
            " Totale \x80 -5 errato, calcolato  \x80 ,00\r\n");
  EXPECT_EQ(controlla({{&R::importo, "01234,40"}}), " Totale \x80  1240 errato, calcolato  \x80 40,00\r\n");
  // A ticket that is not a number keeps its text and counts its leading number; the line
  // shows the declared total as rounded to the cent.
  EXPECT_EQ(controlla({{&R::pos_ticket, ""}, {&R::importo_ticket, "0,0051X"}, {&R::importo, ""}}, 0),
            " Totale \x80  0.01 errato, calcolato  \x80 ,00\r\n");
}

TEST_F(ControllaImporti, PosizioneTicketVuotaONullaNonControllaNulla) {
  for (std::string pos : {"", "00", "A"})
    EXPECT_EQ(controlla({{&R::pos_ticket, pos},
                         {&R::cod_esenzione, "E99"},
                         {&R::importo_ticket, "0000000"},
                         {&R::importo, "00040,00"}}),
              "")
        << pos;
}

TEST_F(ControllaImporti, NonEsenteSenzaTicket) {
  EXPECT_EQ(controlla({{&R::cod_esenzione, "013"}, {&R::importo_ticket, "0000000"}, {&R::importo, "00040,00"}}),
            " Incongruenza pos.ticket non esente ed importo \x80 .00 \r\n"
            " Incongruenza ticket + codice esenzione\r\n");
  EXPECT_EQ(controlla({{&R::importo_ticket, ""}, {&R::importo, "00040,00"}}),
            " Incongruenza pos.ticket non esente ed importo \x80  \r\n");
  EXPECT_EQ(controlla({{&R::pos_ticket, "03"}, {&R::importo_ticket, "0000000"}, {&R::importo, "00040,00"}}),
            " Incongruenza pos.ticket non esente ed importo \x80 .00 \r\n"
            " Codice esenzione errato \r\n");
}

TEST_F(ControllaImporti, EsenteConTicketOSenzaCodice) {
  EXPECT_EQ(controlla({{&R::pos_ticket, "01"}, {&R::importo_ticket, "0005,00"}, {&R::importo, "00035,00"}}),
            " Incongruenza pos.ticket esente ed importo \x80 5.00 \r\n"
            " Codice esenzione assente\r\n");
  auto esente = [&](std::string codice) {
    return controlla({{&R::pos_ticket, "1"},
                      {&R::cod_esenzione, codice},
                      {&R::importo_ticket, ""},
                      {&R::importo, "00040,00"}});
  };
  EXPECT_EQ(esente("E99"), " Codice esenzione E99 inesistente\r\n");
  EXPECT_EQ(esente("0a31"), " Codice esenzione 0a31 inesistente\r\n");
  EXPECT_EQ(esente("0A31"), "");
  EXPECT_EQ(esente("013"), "");
}

TEST_F(ControllaImporti, PosizioneContabile) {
  for (std::string p : {"1", "2", "3"}) EXPECT_EQ(controlla({{&R::pos_contabile, p}}), "") << p;
  for (std::string p : {"0", "4", "", "A"})
    EXPECT_EQ(controlla({{&R::pos_contabile, p}}), " Posizione contabile errata o mancante \r\n") << p;
}

TEST_F(ControllaImporti, RicettaDellaSolaRiga99) {
  // The net amount is read from the empty slot 2: it counts as zero.
  EXPECT_EQ(controlla({{&R::pos_ticket, ""}, {&R::importo_ticket, "0000000"}}, 0, true), "");
  EXPECT_DOUBLE_EQ(s.totali.tot_netto, 0);
  EXPECT_EQ(controlla({}, 0, true), " Totale \x80  5.6 errato, calcolato  \x80 ,00\r\n");
  EXPECT_DOUBLE_EQ(s.totali.tot_netto, 0);
  EXPECT_DOUBLE_EQ(s.totali.tot_ticket, 5.6);
}

TEST_F(ControllaImporti, OgniControlloNellOrdine) {
  EXPECT_EQ(controlla({{&R::pos_ticket, "03"},
                       {&R::cod_esenzione, "013"},
                       {&R::importo_ticket, "0000000"},
                       {&R::pos_contabile, "9"}}),
            " Incongruenza pos.ticket non esente ed importo \x80 .00 \r\n"
            " Incongruenza ticket + codice esenzione\r\n"
            " Posizione contabile errata o mancante \r\n"
            " Totale \x80  34.4 errato, calcolato  \x80 40,00\r\n"
            " Codice esenzione errato \r\n");
}

}  // namespace
}  // namespace flussom

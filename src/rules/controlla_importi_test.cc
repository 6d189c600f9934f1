#include <gtest/gtest.h>

#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

using R = prova::RigaProva;
using prova::Campo;

class ControllaImporti : public ::testing::Test, public prova::StatoProva {
 protected:
  ControllaImporti() : StatoProva(2026) {
    prova::costruisci_in(cartella.percorso(), prova::tabelle_base());  // CODESE: 013, 0A31
  }

  // A closing row as line 2 of its ricetta (or alone, moved on to index 2 from 1), all in
  // the same run: the lines controlla_importi adds. It declares ticket 5,60 and net 34,40.
  std::string controlla(const std::vector<Campo>& campi, double tot_calcolato = 40, bool sola = false) {
    R finale = R().chiusura("0005,60", "00034,40");
    for (const Campo& c : campi) finale.*c.campo = c.testo;
    s.ricetta.svuota_slot();
    const std::string linea = finale.linea();
    s.linea = linea;
    dividi_riga(linea, s.riga);
    s.ricetta.memorizza(sola ? 1 : 2, s.riga);
    s.ricetta.nprest = 2;
    s.ricetta.tot_calcolato = tot_calcolato;
    controlla_importi(s);
    return nuovo();
  }
};

const std::string non_esente = " Incongruenza pos.ticket non esente ed importo \x80 .00 \r\n";
const std::string contabile = " Posizione contabile errata o mancante \r\n";
std::string totale(const std::string& dichiarato, const std::string& calcolato = ",00") {
  return " Totale \x80 " + dichiarato + " errato, calcolato  \x80 " + calcolato + "\r\n";
}

TEST_F(ControllaImporti, EveryField) {
  const Campo senza_ticket{&R::importo_ticket, "0000000"}, netto_40{&R::importo, "00040,00"};
  const struct Caso { std::vector<Campo> campi; double calcolato; std::string atteso; } casi[] = {
      {{}, 40, ""},
      {{}, 39.996, ""},  // compared to the cent
      {{{&R::importo, "00034,41"}}, 40, totale(" 40.01", "40,00")},
      {{{&R::importo, "00004000"}}, 4005.6, ""},  // no comma: a whole number
      // The declared total shown as a plain number, rounded to the cent.
      {{{&R::pos_ticket, ""}, {&R::importo_ticket, "0000,50"}, {&R::importo, ""}}, 0, totale(" 0.5")},
      {{{&R::pos_ticket, ""}, {&R::importo_ticket, "-005,00"}, {&R::importo, ""}}, 0, totale("-5")},
      {{{&R::pos_ticket, ""}, {&R::importo_ticket, "0,0051X"}, {&R::importo, ""}}, 0, totale(" 0.01")},
      {{{&R::pos_ticket, "00"}, {&R::cod_esenzione, "E99"}, senza_ticket, netto_40}, 40, ""},
      {{{&R::cod_esenzione, "013"}, senza_ticket, netto_40}, 40,
       non_esente + " Incongruenza ticket + codice esenzione\r\n"},
      {{{&R::importo_ticket, ""}, netto_40}, 40, " Incongruenza pos.ticket non esente ed importo \x80  \r\n"},
      {{{&R::pos_ticket, "03"}, senza_ticket, netto_40}, 40, non_esente + " Codice esenzione errato \r\n"},
      {{{&R::pos_ticket, "01"}, {&R::importo_ticket, "0005,00"}, {&R::importo, "00035,00"}}, 40,
       " Incongruenza pos.ticket esente ed importo \x80 5.00 \r\n Codice esenzione assente\r\n"},
      {{{&R::pos_ticket, "1"}, {&R::cod_esenzione, "0a31"}, {&R::importo_ticket, ""}, netto_40}, 40,
       " Codice esenzione 0a31 inesistente\r\n"},
      {{{&R::pos_ticket, "1"}, {&R::cod_esenzione, "0A31"}, {&R::importo_ticket, ""}, netto_40}, 40, ""},
      {{{&R::pos_contabile, "3"}}, 40, ""},
      {{{&R::pos_contabile, "0"}}, 40, contabile},
      {{{&R::pos_contabile, "4"}}, 40, contabile},
  };
  for (const Caso& c : casi) EXPECT_EQ(controlla(c.campi, c.calcolato), c.atteso) << "caso " << &c - casi;
  // A ricetta of its closing row alone: the net amount is read from the empty slot 2.
  EXPECT_EQ(controlla({{&R::pos_ticket, ""}, senza_ticket}, 0, true), "");
  EXPECT_EQ(controlla({}, 0, true), totale(" 5.6"));
}

TEST_F(ControllaImporti, EveryCheckInItsOrderAndTotalsGrowEvenWithErrors) {
  EXPECT_EQ(controlla({{&R::pos_ticket, "03"}, {&R::cod_esenzione, "013"}, {&R::importo_ticket, "0000000"},
                       {&R::pos_contabile, "9"}}),
            non_esente + " Incongruenza ticket + codice esenzione\r\n" + contabile + totale(" 34.4", "40,00") +
                " Codice esenzione errato \r\n");
  EXPECT_NE(controlla({{&R::importo_ticket, "0001,00"}, {&R::pos_contabile, "0"}}), "");
  controlla({});
  controlla({}, 0, true);
  EXPECT_DOUBLE_EQ(s.totali.tot_ticket, 1 + 5.6 + 5.6);
  EXPECT_DOUBLE_EQ(s.totali.tot_netto, 34.4 + 34.4 + 34.4);
}

}  // namespace
}  // namespace flussom

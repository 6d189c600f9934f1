#include <gtest/gtest.h>

#include <string>

#include "check/stato_run.h"
#include "rules/regole.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

class ControllaEsenzione : public ::testing::Test {
 protected:
  ControllaEsenzione() {
    r.progressivo = "1";
    r.cod_prestazione = "89.01";
    r.quantita = "1";
  }

  // The report lines written for the line held in r, as line 1 of its ricetta, with the
  // exemption code given.
  std::string controlla(std::string esenzione) {
    const std::size_t prima = report.contenuto().size();
    r.cod_esenzione = std::move(esenzione);
    s.ricetta.nprest = 1;
    s.ricetta.memorizza(1, r);
    controlla_esenzione(s);
    return report.contenuto().substr(prima);
  }

  static std::string non_esente(const std::string& esenzione, const std::string& prestazione) {
    return " Per l'esenzione " + esenzione + " la prestazione " + prestazione +
           " non \xE8 Esente \r\n";
  }

  prova::CartellaTemporanea cartella;
  ReportErrori report;
  Tabelle tabelle{cartella.percorso()};
  StatoRun s{report, tabelle, 2024};
  RigaFlusso& r = s.riga;
};

TEST_F(ControllaEsenzione, CodiceElencatoConAsteriscoCopre) {
  tabelle.carica_noese_da("89.01,\"*048*0A1\",\"\",\"\",\"\"\r\n");
  EXPECT_EQ(controlla("048"), "");
  EXPECT_EQ(controlla("0A1"), "");
  EXPECT_EQ(s.ricetta.err_ricetta, 0);
  EXPECT_EQ(s.risu, 0);
}

TEST_F(ControllaEsenzione, CodiceElencatoSenzaAsteriscoNonCopre) {
  tabelle.carica_noese_da("89.01,\"048 0A1\",\"\",\"\",\"\"\r\n");
  EXPECT_EQ(controlla("0A1"), non_esente("0A1", "89.01"));
  EXPECT_EQ(s.ricetta.err_ricetta, 1);
  EXPECT_EQ(s.risu, 1);
}

TEST_F(ControllaEsenzione, RicercaComeSottotestoNeiCampiDaDueACinque) {
  tabelle.carica_noese_da("89.01,\"\",\"*X9\",\"\",\"*0A02,*7\"\r\n");
  EXPECT_EQ(controlla("0A0"), "");  // found inside *0A02
  EXPECT_EQ(controlla("X9"), "");
  EXPECT_EQ(controlla("7"), "");
  EXPECT_EQ(controlla("0a0"), non_esente("0a0", "89.01"));  // case counts
  EXPECT_EQ(controlla("A02"), non_esente("A02", "89.01"));  // the "*" must precede it
}

TEST_F(ControllaEsenzione, ServizioSenzaRecordCopertoDaOgniEsenzione) {
  tabelle.carica_noese_da("89.02,\"\",\"\",\"\",\"\"\r\n");
  EXPECT_EQ(controlla("048"), "");
}

TEST_F(ControllaEsenzione, NoeseMancanteNessunErrore) {
  EXPECT_EQ(controlla("048"), "");
}

TEST_F(ControllaEsenzione, OgniRecordCheNonCopreScriveLaSuaRiga) {
  // Listed only on the second record: one line, then the search ends at the covering
  // record (the third, which does not list it either, is never reached).
  tabelle.carica_noese_da(
      "89.01,\"*001\",\"\",\"\",\"\"\r\n"
      "89.01,\"*002\",\"\",\"\",\"\"\r\n"
      "89.01,\"*003\",\"\",\"\",\"\"\r\n"
      "89.02,\"*004\",\"\",\"\",\"\"\r\n");
  EXPECT_EQ(controlla("002"), non_esente("002", "89.01"));
  EXPECT_EQ(controlla("001"), "");
  EXPECT_EQ(controlla("004"),
            non_esente("004", "89.01") + non_esente("004", "89.01") + non_esente("004", "89.01"));
}

TEST_F(ControllaEsenzione, EsenzioniChePassanoSenzaRicerca) {
  tabelle.carica_noese_da("89.01,\"\",\"\",\"\",\"\"\r\n");
  for (const char* codice : {"D01", "R99", "M50", "M51", "E01", "G", "L12", "R01", "S", "C9",
                             "N01", "V", "I07", "T1", "B", "F10", "P01"})
    EXPECT_EQ(controlla(codice), "") << codice;
  EXPECT_EQ(controlla(""), "");
}

TEST_F(ControllaEsenzione, AltreEsenzioniCercate) {
  tabelle.carica_noese_da("89.01,\"\",\"\",\"\",\"\"\r\n");
  // Lower-case letters, letters outside the list, digits, and near misses of the four codes.
  for (const char* codice : {"e01", "A01", "D02", "H1", "M52", "Q", "048", "r99"})
    EXPECT_EQ(controlla(codice), non_esente(codice, "89.01")) << codice;
}

TEST_F(ControllaEsenzione, RigaDiChiusuraNonControllata) {
  tabelle.carica_noese_da("89.01,\"\",\"\",\"\",\"\"\r\n");
  r.progressivo = "99";
  EXPECT_EQ(controlla("048"), "");
}

TEST_F(ControllaEsenzione, UnaRigaOltreLaVentesimaUsaIlProprioCodice) {
  tabelle.carica_noese_da("89.02,\"\",\"\",\"\",\"\"\r\n");
  s.ricetta.memorizza(1, r);  // slot 1: 89.01, not in the table
  r.progressivo = "21";
  r.cod_prestazione = "89.02";
  r.cod_esenzione = "048";
  s.ricetta.nprest = 21;
  s.ricetta.memorizza(21, r);
  controlla_esenzione(s);
  EXPECT_EQ(report.contenuto(), non_esente("048", "89.02"));
}

}  // namespace
}  // namespace flussom

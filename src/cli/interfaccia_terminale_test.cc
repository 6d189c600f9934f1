#include "cli/interfaccia_terminale.h"

#include <gtest/gtest.h>

#include <sstream>

#include "run/importa.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

TEST(InterfacciaTerminale, RegistersOnTheTerminalAndTheRunFindsTheFacility) {
  prova::CartellaTemporanea dir;
  prova::costruisci_in(dir.percorso(), prova::tabelle_base());
  auto p = dir.scrivi("FLM10.txt", prova::ricetta_corretta("190000000000001"));
  const std::string altra = "\"654321\",\"GI\xC0 QUI\",\"01\",\"\",\"\"\r\n";
  dir.scrivi("strutture.DAT", altra);
  // Yes, with the code of a facility registered already: refused, and the question again.
  // Then yes; the proposed code (empty answer); a refused name, then a good one; a refused
  // specialty, then 26; two empty optional specialties.
  std::istringstream in("s\n654321\naltra\n01\n\n\n"
                        "forse\ns\n\nnome 1\npoliambulatorio nord\n2a\n26\n\n\n");
  std::ostringstream err;
  InterfacciaTerminale ui(dir.percorso(), in, err, true);
  OrologioFisso oggi{std::chrono::year{2026} / 12 / 6};
  auto r = importa(ParametriRun{p, dir.percorso()}, ui, oggi);
  EXPECT_EQ(r.esito, EsitoRun::corretto) << err.str();
  EXPECT_EQ(dir.leggi("strutture.DAT"), altra + "\"123456\",\"POLIAMBULATORIO NORD\",\"26\",\"\",\"\"\r\n");
  EXPECT_NE(err.str().find("Struttura 654321 gi\xC3\xA0 registrata: GI\xC3\x80 QUI\n"), std::string::npos)
      << err.str();
  EXPECT_EQ(ui.struttura(), "POLIAMBULATORIO NORD");
  EXPECT_NE(err.str().find("Denominazione \"nome 1\""), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("Codice Branca \"2a\""), std::string::npos);
}

TEST(InterfacciaTerminale, InputThatEndsWritesNothingAndAnswersNo) {
  prova::CartellaTemporanea dir;
  std::istringstream in("s\n123456\n");
  std::ostringstream err;
  InterfacciaTerminale ui(dir.percorso(), in, err, true);
  EXPECT_TRUE(ui.domanda("STRUTTURA NON TROVATA! Vuole inserirla "));
  EXPECT_EQ(ui.registrazione_richiesta("123456"), EsitoRegistrazione::chiusa);
  EXPECT_FALSE(ui.domanda("STRUTTURA NON TROVATA! Vuole inserirla "));
  EXPECT_FALSE(std::filesystem::exists(dir / "strutture.DAT"));
}

TEST(InterfacciaTerminale, ProgressOnlyWhenAsked) {
  prova::CartellaTemporanea dir;
  std::istringstream in;
  std::ostringstream err;
  InterfacciaTerminale ui(dir.percorso(), in, err, false);
  ui.intervallo_progresso(0, 200);
  ui.progresso(100);
  EXPECT_EQ(err.str(), "");
  ui.mostra_avanzamento(true);
  ui.progresso(100);
  ui.progresso(101);  // same percentage: nothing new
  ui.progresso(200);
  ui.progresso(300);  // beyond the maximum: ignored
  EXPECT_EQ(err.str(), "\rControllo in corso: 50%\rControllo in corso: 100%\n");
}

}  // namespace
}  // namespace flussom

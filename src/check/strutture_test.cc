#include "check/strutture.h"

#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

TEST(Strutture, LookupIsExactAndTheFirstRecordWins) {
  auto t = TabellaStrutture::da_contenuto(
      "\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n"
      "\"1234\",\"LAB\",\"03\",\"\",\"\"\r\n"
      "\"123456\",\"DOPPIO\",\"02\",\"\",\"\"\r\n"
      "\"ab1\",\"MINUSCOLO\",\"02\",\"\",\"\"\r\n");
  ASSERT_TRUE(t.cerca("123456"));
  EXPECT_EQ(t.cerca("123456")->denominazione, "AMBULATORIO");
  EXPECT_EQ(t.cerca("1234")->denominazione, "LAB");
  EXPECT_FALSE(t.cerca("AB1"));
  EXPECT_FALSE(t.cerca(""));
}

TEST(Strutture, KeyFiltersOfTheRegistrationWindow) {
  EXPECT_EQ(filtra_testo_codice("12a3-4 567", 6), "123456");
  const std::pair<std::string, std::string> denominazioni[] = {
      {"via roma, 12/b \"x\"", "VIA ROMA B X"},
      {"perch\xE9", "PERCH\xE9"},
      {"a\r\nb", "AB"},
      {std::string(40, 'x'), std::string(30, 'X')},
  };
  for (const auto& [scritto, atteso] : denominazioni)
    EXPECT_EQ(filtra_testo_denominazione(scritto, 30), atteso) << scritto;
  EXPECT_FALSE(filtra_tasto_denominazione('"'));
  EXPECT_EQ(filtra_tasto_denominazione('\''), '\'');
}

TEST(Strutture, RegistrationAppendsTheExactRecord) {
  prova::CartellaTemporanea dir;
  EXPECT_FALSE(TabellaStrutture::leggi(dir.percorso()).cerca("123456"));
  DatiStruttura d{" 123456 ", "AMBULATORIO", "02", "", ""};
  ASSERT_TRUE(registrazione_completa(d));
  EXPECT_FALSE(registrazione_completa({"1", "X", "  ", "", ""}));
  EXPECT_FALSE(registrazione_completa({" ", "X", "02", "", ""}));
  std::string errore;
  ASSERT_TRUE(registra_struttura(dir.percorso(), d, &errore));
  ASSERT_TRUE(registra_struttura(dir.percorso(), d, &errore));
  const std::string r = "\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n";
  EXPECT_EQ(dir.leggi("strutture.DAT"), r + r);
  EXPECT_TRUE(TabellaStrutture::leggi(dir.percorso()).cerca("123456"));
  EXPECT_FALSE(registra_struttura(dir / "manca", d, &errore));
  EXPECT_FALSE(errore.empty());
}

}  // namespace
}  // namespace flussom

#include "reference/controcf.h"

#include <gtest/gtest.h>

#include <string>

namespace flussom {
namespace {

std::string corretto(std::string codice) {
  CONTROCF(codice);
  return codice;
}

// RSSMRA85T10A562S, worked out with the tables of the standard:
//   odd positions  R S R 8 T 0 5 2 -> 8+12+8+19+14+1+13+5 = 80
//   even positions S M A 5 1 A 6   -> 18+12+0+5+1+0+6     = 42
//   122 mod 26 = 18 -> "S".
TEST(Controcf, CodiceGiustoTornaUguale) {
  EXPECT_EQ(corretto("RSSMRA85T10A562S"), "RSSMRA85T10A562S");
  EXPECT_EQ(corretto("MRTMTT25D09F205Z"), "MRTMTT25D09F205Z");
}

TEST(Controcf, CarattereDiControlloSbagliatoVieneCorretto) {
  EXPECT_EQ(corretto("RSSMRA85T10A562X"), "RSSMRA85T10A562S");
  EXPECT_EQ(corretto("RSSMRA85T10A562A"), "RSSMRA85T10A562S");
  EXPECT_EQ(corretto("MRTMTT25D09F2059"), "MRTMTT25D09F205Z");
}

TEST(Controcf, MinuscoleVengonoPortateInMaiuscolo) {
  // The check character is right, yet the code comes back different from what was read.
  const std::string letto = "rssmra85t10a562s";
  EXPECT_EQ(corretto(letto), "RSSMRA85T10A562S");
  EXPECT_NE(corretto(letto), letto);
  EXPECT_EQ(corretto("RssMra85T10a562x"), "RSSMRA85T10A562S");
}

TEST(Controcf, LettereDiOmocodiaValutateComeOgniAltroCarattere) {
  // 2 -> N in position 15: the odd value goes from 5 to 20, 137 mod 26 = 7 -> "H".
  EXPECT_EQ(corretto("RSSMRA85T10A56NH"), "RSSMRA85T10A56NH");
  EXPECT_EQ(corretto("RSSMRA85T10A56NS"), "RSSMRA85T10A56NH");
  // Every digit replaced by its letter.
  EXPECT_EQ(corretto("RSSMRAURTMLARNSY"), "RSSMRAURTMLARNSY");
}

TEST(Controcf, BlanchiInPosizionePariEDispari) {
  // Even position 2: S (18) becomes a blank (-33): 122 - 51 = 71, 71 mod 26 = 19 -> "T".
  EXPECT_EQ(corretto("R SMRA85T10A562S"), "R SMRA85T10A562T");
  // Odd position 9: T (14) becomes a blank (0): 108 mod 26 = 4 -> "E".
  EXPECT_EQ(corretto("RSSMRA85 10A562S"), "RSSMRA85 10A562E");
  // A blank in position 16 is simply replaced.
  EXPECT_EQ(corretto("RSSMRA85T10A562 "), "RSSMRA85T10A562S");
}

TEST(Controcf, SommaNegativaDaUnCarattereSottoLaA) {
  // Seven blanks in even positions (-231) and B (0) in odd ones: -231 rem 26 = -23 -> "*".
  EXPECT_EQ(corretto("B B B B B B B B "), "B B B B B B B B*");
  // Lower-case letters outside a to z are not capitalised; other characters count code - 65.
  // An "\xE9" (233) counts 168 in even position 14 and nothing in odd position 15.
  EXPECT_EQ(corretto("RSSMRA85T10A5\xE9" "2S"), "RSSMRA85T10A5\xE9" "2Y");
  EXPECT_EQ(corretto("RSSMRA85T10A56\xE9" "S"), "RSSMRA85T10A56\xE9" "N");
}

TEST(Controcf, TestoVuotoNonCambia) { EXPECT_EQ(corretto(""), ""); }

}  // namespace
}  // namespace flussom

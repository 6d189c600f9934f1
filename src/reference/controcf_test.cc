#include "reference/controcf.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

TEST(Controcf, CheckCharacterRewritten) {
  const std::pair<std::string, std::string> casi[] = {
      {"RSSMRA85T10A562S", "RSSMRA85T10A562S"}, {"MRTMTT25D09F205Z", "MRTMTT25D09F205Z"},
      {"RSSMRA85T10A562X", "RSSMRA85T10A562S"}, {"MRTMTT25D09F2059", "MRTMTT25D09F205Z"},
      // Capitalised: a code read in lower case comes back different even when its check is right.
      {"rssmra85t10a562s", "RSSMRA85T10A562S"}, {"RssMra85T10a562x", "RSSMRA85T10A562S"},
      // Omocodia letters count as any other letter.
      {"RSSMRA85T10A56NS", "RSSMRA85T10A56NH"}, {"RSSMRAURTMLARNSY", "RSSMRAURTMLARNSY"},
      // A blank counts -33 in even positions, nothing in odd ones.
      {"R SMRA85T10A562S", "R SMRA85T10A562T"}, {"RSSMRA85 10A562S", "RSSMRA85 10A562E"},
      {"RSSMRA85T10A562 ", "RSSMRA85T10A562S"},
      // A negative sum gives a character below "A" (truncating remainder).
      {"B B B B B B B B ", "B B B B B B B B*"},
      // A byte above 127 is not capitalised; it counts code - 65 in even positions, nothing in odd ones.
      {"RSSMRA85T10A5\xE9" "2S", "RSSMRA85T10A5\xE9" "2Y"}, {"RSSMRA85T10A56\xE9" "S", "RSSMRA85T10A56\xE9" "N"},
      {"", ""},
  };
  for (const auto& [letto, corretto] : casi) {
    EXPECT_EQ(CONTROCF(letto), corretto) << letto;
    EXPECT_EQ(da_correggere(letto), corretto != letto) << letto;
    EXPECT_EQ(da_correggere(letto + "X"), CONTROCF(letto + "X") != letto + "X") << letto;
  }
}

}  // namespace
}  // namespace flussom

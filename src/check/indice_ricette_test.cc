#include "check/indice_ricette.h"

#include <gtest/gtest.h>

#include <string>

namespace flussom {
namespace {

TEST(IndiceRicette, NumbersComingBackAfterOthersAreFound) {
  IndiceRicette indice;
  // The lines of a ricetta repeat its number; a number may come back after others.
  for (const char* n : {"A1", "A1", "A1", "B2", "B2", "A1", "C3"}) indice.aggiungi(n);
  EXPECT_TRUE(indice.contiene("A1"));
  EXPECT_TRUE(indice.contiene("B2"));
  EXPECT_TRUE(indice.contiene("C3"));
  EXPECT_FALSE(indice.contiene("D4"));
  EXPECT_EQ(indice.size(), 3u);
}

TEST(IndiceRicette, BlankNumbersAreNeverKept) {
  IndiceRicette indice;
  indice.aggiungi("");
  indice.aggiungi("");
  EXPECT_FALSE(indice.contiene(""));
  EXPECT_EQ(indice.size(), 0u);
  indice.aggiungi("X");
  indice.aggiungi("");
  indice.aggiungi("X");
  EXPECT_EQ(indice.size(), 1u);
}

TEST(IndiceRicette, OnlyTheFirstSixteenCharactersCount) {
  IndiceRicette indice;
  indice.aggiungi("1234567890123456XYZ");
  EXPECT_TRUE(indice.contiene("1234567890123456"));
  EXPECT_TRUE(indice.contiene("1234567890123456ABC"));
  EXPECT_FALSE(indice.contiene("123456789012345"));
}

TEST(IndiceRicette, ACopyKeepsItsOwnNumbers) {
  IndiceRicette a;
  a.aggiungi("A1");
  IndiceRicette b = a;
  b.aggiungi("B2");
  a.aggiungi("C3");
  EXPECT_FALSE(a.contiene("B2"));
  EXPECT_FALSE(b.contiene("C3"));
  EXPECT_TRUE(b.contiene("A1"));
}

}  // namespace
}  // namespace flussom

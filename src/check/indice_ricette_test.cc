#include "check/indice_ricette.h"

#include <gtest/gtest.h>

#include <string>

namespace flussom {
namespace {

TEST(IndiceRicette, NumbersComingBackAfterOthersAreCountedOnce) {
  IndiceRicette indice;
  for (const char* n : {"A1", "A1", "", "B2", "B2", "A1", "", "1234567890123456XYZ"})
    indice.aggiungi(n);
  for (const char* n : {"A1", "B2", "1234567890123456", "1234567890123456ABC"})
    EXPECT_TRUE(indice.contiene(n)) << n;
  for (const char* n : {"D4", "", "123456789012345"}) EXPECT_FALSE(indice.contiene(n)) << n;
  EXPECT_EQ(indice.size(), 3u);
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

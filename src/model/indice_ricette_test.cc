#include "model/indice_ricette.h"

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

  // Any byte is part of a number, a NUL or a blank inside it too.
  const std::string nul(16, '\0');
  indice.aggiungi(std::string("A1\0", 3));
  indice.aggiungi(nul);
  indice.aggiungi("A 1");
  for (const std::string& n : {std::string("A1\0", 3), nul, std::string("A 1")}) EXPECT_TRUE(indice.contiene(n));
  for (const std::string& n : {std::string("A1\0\0", 4), nul.substr(1), std::string("A")})
    EXPECT_FALSE(indice.contiene(n));
  EXPECT_EQ(indice.size(), 6u);

  // A copy keeps its own numbers.
  IndiceRicette copia = indice;
  copia.aggiungi("B3");
  indice.aggiungi("C3");
  EXPECT_FALSE(indice.contiene("B3") || copia.contiene("C3"));
  EXPECT_TRUE(copia.contiene("A1"));
}

TEST(IndiceRicette, SizedFromTheFileOrGrowingItKeepsEveryNumber) {
  for (const std::uint64_t byte : {std::uint64_t{0}, std::uint64_t{224}, std::uint64_t{224} * 100000}) {
    IndiceRicette indice;
    indice.prevedi(byte);
    for (int i = 0; i < 100000; i += 2) indice.aggiungi("190" + std::to_string(i));
    EXPECT_EQ(indice.size(), 50000u);
    for (int i = 0; i < 100000; i += 997) EXPECT_EQ(indice.contiene("190" + std::to_string(i)), i % 2 == 0) << i;
  }
}

}  // namespace
}  // namespace flussom

#include "check/testo.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>

namespace flussom {
namespace {

TEST(Testo, TrimRemovesOnlyBlanks) {
  EXPECT_EQ(trim("  ab c  "), "ab c");
  EXPECT_EQ(trim("\tab\t"), "\tab\t");
  EXPECT_EQ(trim("    "), "");
  EXPECT_EQ(trim(""), "");
}

TEST(Testo, ValnumReadsTheLeadingNumber) {
  EXPECT_EQ(valnum("012"), 12);
  EXPECT_EQ(valnum("1 2"), 12);            // blanks anywhere are ignored
  EXPECT_EQ(valnum("  -3.5xyz"), -3.5);
  EXPECT_EQ(valnum("12/05/1960"), 12);
  EXPECT_EQ(valnum("A123"), 0);
  EXPECT_EQ(valnum(""), 0);
  EXPECT_EQ(valnum("."), 0);
  EXPECT_EQ(valnum("9A"), 9);
  EXPECT_EQ(valnum("12,50"), 12);          // only "." is a decimal point
  EXPECT_EQ(valnum(".5"), 0.5);
  EXPECT_EQ(valnum("1e3"), 1000);
  EXPECT_EQ(valnum("1E+2x"), 100);
  EXPECT_EQ(valnum("2e"), 2);              // an exponent without digits is not read
  EXPECT_EQ(valnum("2e+"), 2);
  EXPECT_EQ(valnum("1e999"), 0);           // no infinity ever leaves valnum
}

TEST(Testo, ValnumOfLongDigitRuns) {
  const std::string lungo(70, '1');
  EXPECT_DOUBLE_EQ(valnum(lungo), 1.1111111111111111e69);
  EXPECT_DOUBLE_EQ(valnum(std::string(63, '2') + "e-60"), valnum(std::string(63, '2')) * 1e-60);
  EXPECT_DOUBLE_EQ(valnum(std::string(63, '3') + "e"), valnum(std::string(63, '3')));
}

TEST(Testo, AmountValueReadsTheFirstCommaAsPoint) {
  EXPECT_EQ(valore_importo("12,50"), 12.5);
  EXPECT_EQ(valore_importo(",50"), 0.5);
  EXPECT_EQ(valore_importo("1,2,3"), 1.2);
  EXPECT_EQ(virgola_in_punto("1,2,3"), "1.2,3");
}

TEST(Testo, DateKey) {
  EXPECT_EQ(chiave_data("25/10/2009"), "20091025");
  EXPECT_EQ(chiave_data(""), "");
  EXPECT_EQ(chiave_data("00000000"), "00000000");
  EXPECT_LT(chiave_data("24/10/2009"), chiave_data("25/10/2009"));
}

TEST(Testo, TrimAcrossWordsOfBlanks) {
  // Blanks are skipped eight at a time where they can be: every length around the word.
  for (std::size_t prima = 0; prima < 20; ++prima)
    for (std::size_t dopo = 0; dopo < 20; ++dopo) {
      const std::string t = std::string(prima, ' ') + "a b" + std::string(dopo, ' ');
      EXPECT_EQ(trim(t), "a b") << prima << " " << dopo;
      EXPECT_EQ(trim(std::string(prima + dopo, ' ')), "");
    }
  EXPECT_EQ(trim("        \t        "), "\t");  // only the blank is a blank
}

// The one-pass reading must give what the general reading gives, bit for bit.
void come_lettura_generale(const std::string& t) {
  const double a = valnum(t), b = valnum_generale(t);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(b)) << "[" << t << "]";
}

TEST(Testo, ValnumShortWayAgreesWithTheGeneralReading) {
  for (const char* t : {"", " ", "-", "+", ".", "-.", "-0", "- 0", "0.0", "99", " 9 9 ", "1.2.3",
                        "12e", "12e5", "1E-2", "--1", "+-1", "123456789012345", "1234567890123456",
                        "0000000000000001", "999999999999999.9", "1.5e", "7 e 2", "\xE0" "12",
                        "12\xE0", "3,5", ". 5", "5 .", "0.000000000000001"})
    come_lettura_generale(t);
  std::mt19937_64 caso(11);
  const std::string alfabeto = "0123456789 .-+eEa,";
  for (int i = 0; i < 200000; ++i) {
    std::string t;
    const std::size_t n = caso() % 20;
    // Mostly digits, so that long numbers are common.
    for (std::size_t k = 0; k < n; ++k)
      t.push_back(caso() % 3 ? static_cast<char>('0' + caso() % 10) : alfabeto[caso() % alfabeto.size()]);
    come_lettura_generale(t);
  }
}

TEST(Testo, AmountValueOfALongText) {
  // Longer than the copy kept on the stack.
  const std::string lungo = std::string(40, ' ') + "12,5";
  EXPECT_EQ(valore_importo(lungo), 12.5);
  EXPECT_EQ(valore_importo(std::string(40, '0') + "3,25x"), 3.25);
}

}  // namespace
}  // namespace flussom

#include "check/testo.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace flussom

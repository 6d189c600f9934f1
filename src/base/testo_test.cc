#include "base/testo.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>

namespace flussom {
namespace {

TEST(Testo, TrimRemovesOnlyBlanksAtAnyDistance) {
  EXPECT_EQ(trim("\tab\t"), "\tab\t");
  EXPECT_EQ(trim("        \t        "), "\t");
  for (std::size_t prima = 0; prima < 20; ++prima)
    for (std::size_t dopo = 0; dopo < 20; ++dopo) {
      EXPECT_EQ(trim(std::string(prima, ' ') + "a b" + std::string(dopo, ' ')), "a b")
          << prima << " " << dopo;
      EXPECT_EQ(trim(std::string(prima + dopo, ' ')), "");
    }
}

TEST(Testo, ValnumReadsTheLeadingNumber) {
  const std::pair<std::string, double> casi[] = {
      {"012", 12},     {"1 2", 12},   {"  -3.5xyz", -3.5}, {"12/05/1960", 12}, {"A123", 0},
      {"", 0},         {".", 0},      {"12,50", 12},       {".5", 0.5},        {"1e3", 1000},
      {"1E+2x", 100},  {"2e", 2},     {"2e+", 2},          {"1e999", 0},
      {std::string(70, '1'), 1.1111111111111111e69},
  };
  for (const auto& [testo, valore] : casi) EXPECT_DOUBLE_EQ(valnum(testo), valore) << testo;
  EXPECT_DOUBLE_EQ(valnum(std::string(63, '2') + "e-60"), valnum(std::string(63, '2')) * 1e-60);
  EXPECT_DOUBLE_EQ(valnum(std::string(63, '3') + "e"), valnum(std::string(63, '3')));
}

void come_lettura_generale(const std::string& t) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(valnum(t)),
            std::bit_cast<std::uint64_t>(valnum_generale(t)))
      << "[" << t << "]";
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
    for (std::size_t k = 0; k < n; ++k)
      t.push_back(caso() % 3 ? static_cast<char>('0' + caso() % 10) : alfabeto[caso() % alfabeto.size()]);
    come_lettura_generale(t);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(valore_importo(t)), std::bit_cast<std::uint64_t>(valnum(virgola_in_punto(t))))
        << "[" << t << "]";
  }
}

TEST(Testo, AmountValueAndDateKey) {
  EXPECT_EQ(valore_importo("12,50"), 12.5);
  EXPECT_EQ(valore_importo(",50"), 0.5);
  EXPECT_EQ(valore_importo("1,2,3"), 1.2);
  EXPECT_EQ(virgola_in_punto("1,2,3"), "1.2,3");
  EXPECT_EQ(valore_importo(std::string(40, ' ') + "12,5"), 12.5);
  EXPECT_EQ(valore_importo(std::string(40, '0') + "3,25x"), 3.25);
  EXPECT_EQ(chiave_data("25/10/2009"), "20091025");
  EXPECT_EQ(chiave_data(""), "");
  EXPECT_EQ(chiave_data("00000000"), "00000000");
  // Dates compared by their keys, whatever their shape.
  std::mt19937_64 caso(5);
  const std::string alfabeto = "0129/ \xE0";
  for (int i = 0; i < 100000; ++i) {
    std::string d[2];
    for (std::string& t : d)
      for (std::size_t k = caso() % 3 ? 10 : caso() % 12; k > 0; --k) t.push_back(alfabeto[caso() % alfabeto.size()]);
    ASSERT_EQ(data_successiva(d[0], d[1]), chiave_data(d[0]) > chiave_data(d[1])) << d[0] << " " << d[1];
  }
}

// The file list's pattern "*.txt;*.", shared by the window and the batch.
TEST(Testo, DataFileNamesAndAsciiCase) {
  for (const char* n : {"a.txt", "A.TXT", "b.Txt", "senza", "finisce.", "AMB01.ASL.txt"})
    EXPECT_TRUE(nome_file_dati(n)) << n;
  for (const char* n : {"a.dat", "a.txt.bak", "a.txtx", "a.tx", "errori.RPT", ".txt2", "a.t\xD8t"})
    EXPECT_FALSE(nome_file_dati(n)) << n;
  // Only a to z change case: accented letters keep their bytes.
  EXPECT_EQ(maiuscolo_ascii("abz\xE0" "AZ09"), "ABZ\xE0" "AZ09");
  EXPECT_EQ(minuscolo_ascii("ABZ\xC0" "az09"), "abz\xC0" "az09");
}

}  // namespace
}  // namespace flussom

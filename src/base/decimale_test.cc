#include "base/decimale.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace flussom {
namespace {

// Bit for bit, so that -0.0 and 0.0 differ.
void come_strtod(const std::string& t) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(valore_decimale(t)),
            std::bit_cast<std::uint64_t>(std::strtod(t.c_str(), nullptr)))
      << t;
}

TEST(Decimale, TextsAreReadAsStrtodReadsThem) {
  for (const char* t :
       {"12.50", "-0012", "+7", ".5", "5.", "0.1", "25.01", "1e3", "2.5E-1", "0", "-0", "-0.000",
        "9007199254740992", "9007199254740993", "9007199254740995", "-9007199254740993",
        "123456789012345678901234567890", "0.0000000000000000000001", "0.00000000000000000000001",
        "1.2345678901234567890123", "4.9e-324", "1e-400", "1.7976931348623157e308", "1e400",
        "-1e400", "0.30000000000000004", "2.675", "1.005", "12.505", "999999999999999.9",
        "00000000000000000000000000012.5", "", "1.2.3", "+1e400"})
    come_strtod(t);
  std::mt19937_64 caso(7);
  const auto cifre = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + caso() % 10));
    return s;
  };
  for (int i = 0; i < 200000; ++i) {
    std::string t = std::array<const char*, 3>{"", "-", "+"}[caso() % 3];
    const int intere = static_cast<int>(caso() % 20);
    const int decimali = static_cast<int>(caso() % 26);
    t += cifre(intere);
    if (caso() % 4 != 0) t += "." + cifre(decimali);
    if (intere == 0 && (t.empty() || t.back() == '.' || t.back() == '-' || t.back() == '+'))
      t += "0";
    if (caso() % 10 == 0) t += (caso() % 2 ? "e" : "E") + std::to_string(static_cast<int>(caso() % 60) - 30);
    come_strtod(t);
  }
}

}  // namespace
}  // namespace flussom

#include "reference/criptare.h"

#include <gtest/gtest.h>

#include <random>

namespace flussom {
namespace {

TEST(Criptare, KnownValuesUnderTheKeyOfTheTables) {
  // Two characters: only the last two passes act. With k2 = 60 and k1 = 225:
  // a1 = (66*60 mod 256) xor 66 xor 65 = 123; a2 = (123*225 mod 256) xor 123 xor 66 = 34.
  const std::pair<std::string, std::string> casi[] = {
      {"", ""}, {"A", "A"}, {"\xFF", "\xFF"}, {"AB", "\x7B\x22"}, {"12", "\xBB\xD2"}, {"123", "\xE2\x8B\xB5"},
      {"5.50", "\x4D\xE5\xD6\x84"}, {"12.34", "\xE6\x4A\xA2\xF3\xA4"},
      {"0000000000", "\x40\x20\xC0\xC0\xC0\xC0\xC0\x80\x80\x90"},
  };
  for (const auto& [chiaro, atteso] : casi) {
    std::string t = chiaro;
    criptare(t);
    EXPECT_EQ(t, atteso) << chiaro;
  }
}

// One way suffices: on strings of one length, a map undone by another is a bijection, so
// the other undoes it too.
TEST(Criptare, DecryptIsTheInverseWithEveryKey) {
  std::mt19937 g(20240601);
  for (std::int32_t chiave : {chiave_sconti, 0, 1, 233, 2147483647, -1, -1357924680}) {
    for (int volta = 0; volta < 1050; ++volta) {
      std::string t(volta % 21, '\0');
      for (char& c : t) c = static_cast<char>(g());
      std::string u = t;
      decriptare(u, chiave);
      criptare(u, chiave);
      ASSERT_EQ(u, t) << "chiave " << chiave << " n " << t.size();
    }
  }
}

}  // namespace
}  // namespace flussom

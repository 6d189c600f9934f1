#include "base/cp1252.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripOtherCharactersDoNot) {
  EXPECT_EQ(cp1252_a_utf8("\x80 \xE8\xE0"), "\u20AC \u00E8\u00E0");
  std::string tutti;
  for (int b = 1; b < 256; ++b) tutti.push_back(static_cast<char>(b));
  EXPECT_EQ(utf8_a_cp1252(cp1252_a_utf8(tutti)), tutti);
  EXPECT_EQ(*utf8_a_cp1252_esatto(cp1252_a_utf8(tutti)), tutti);
  // Characters without a form, and malformed UTF-8.
  EXPECT_EQ(utf8_a_cp1252("a\u4E2Db"), "a?b");
  EXPECT_EQ(utf8_a_cp1252("a\xC3"), "a?");
  EXPECT_EQ(utf8_a_cp1252("\xFF\xFE"), "??");
  EXPECT_EQ(utf8_a_cp1252("\xC0\xAF"), "??");  // overlong form of "/"
  // Four bytes without a form; a bad second byte; a surrogate; past U+10FFFF.
  EXPECT_EQ(utf8_a_cp1252("\xF0\x9F\x98\x80|\xC3(|\xED\xA0\x80|\xF4\x90\x80\x80"), "?|?(|???|????");
  EXPECT_FALSE(utf8_a_cp1252_esatto("\u4E2D"));
  EXPECT_FALSE(utf8_a_cp1252_esatto("\xE2\x82"));
}

}  // namespace
}  // namespace flussom

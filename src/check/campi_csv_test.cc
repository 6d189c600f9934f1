#include "check/campi_csv.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

using Campi = std::vector<std::string>;

TEST(CampiCsv, FieldRules) {
  const std::pair<const char*, Campi> casi[] = {
      {"\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n", {"123456", "AMBULATORIO", "02", "", ""}},
      {"  a  , b ,c\n", {"a", "b", "c"}},
      {"\"a,b\",c", {"a,b", "c"}},
      {"a,b\rc,d\ne\r\n\r\nf", {"a", "b", "c", "d", "e", "f"}},
      {"a,\nb", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"", {}},
      // A quoted field runs to the next quote, across lines; text after it is dropped.
      {"\"a\nb\"x,c", {"a\nb", "c"}},
      {"\"NOME \"BIS\"\",\"x\"", {"NOME ", "x"}},
      {"a,\"bc,d\r\n", {"a", "bc,d\r\n"}},
  };
  for (const auto& [testo, campi] : casi) {
    SCOPED_TRACE(testo);
    EXPECT_EQ(leggi_campi(testo), campi);
  }
}

TEST(CampiCsv, RecordsOfFiveDropAnIncompleteLastGroup) {
  auto r = leggi_record("\"1\",\"A\",\"02\",\"\",\"\"\r\n\"2\",\"B\",\"03\"\r\n", 5);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0][1], "A");
  // A line of four fields puts the later records out of step.
  r = leggi_record("\"1\",\"A\",\"02\",\"\"\r\n\"2\",\"B\",\"03\",\"\",\"\"\r\n", 5);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0][4], "2");
}

}  // namespace
}  // namespace flussom

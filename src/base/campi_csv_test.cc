#include "base/campi_csv.h"

#include <gtest/gtest.h>

#include <array>

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
  const auto record = [](std::string_view testo) {
    std::vector<std::vector<std::string>> r;
    std::array<std::string_view, 5> campi;
    for (LettoreCampi l(testo); l.prossimo_record(campi);) r.emplace_back(campi.begin(), campi.end());
    return r;
  };
  auto r = record("\"1\",\"A\",\"02\",\"\",\"\"\r\n\"2\",\"B\",\"03\"\r\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0][1], "A");
  // A line of four fields puts the later records out of step.
  r = record("\"1\",\"A\",\"02\",\"\"\r\n\"2\",\"B\",\"03\",\"\",\"\"\r\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0][4], "2");
}

TEST(CampiCsv, ReadingAgainFromAPointGivesTheSameFields) {
  const std::string_view testo = "a,\r\n\"b\"x, c ,\n,d,\"e";
  LettoreCampi tutto(testo);
  std::vector<std::pair<LettoreCampi::Punto, std::string_view>> visti;
  for (LettoreCampi::Punto p = tutto.punto();; p = tutto.punto()) {
    std::string_view c;
    if (!tutto.prossimo(c)) break;
    visti.emplace_back(p, c);
    // Every field is a view into the text, an empty one too.
    EXPECT_TRUE(c.data() >= testo.data() && c.data() + c.size() <= testo.data() + testo.size());
  }
  ASSERT_EQ(visti.size(), 8u);
  for (const auto& [punto, campo] : visti) {
    LettoreCampi da_qui(testo, punto);
    std::string_view c;
    ASSERT_TRUE(da_qui.prossimo(c));
    EXPECT_EQ(c, campo);
  }
}

}  // namespace
}  // namespace flussom

#include "check/campi_csv.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

using Campi = std::vector<std::string>;

TEST(CampiCsv, QuotedAndUnquotedFields) {
  EXPECT_EQ(leggi_campi("\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n"),
            (Campi{"123456", "AMBULATORIO", "02", "", ""}));
  EXPECT_EQ(leggi_campi("  a  , b ,c\n"), (Campi{"a", "b", "c"}));
  EXPECT_EQ(leggi_campi("\"a,b\",c"), (Campi{"a,b", "c"}));
}

TEST(CampiCsv, LineBreaksSeparateFields) {
  EXPECT_EQ(leggi_campi("a,b\rc,d\ne\r\n\r\nf"), (Campi{"a", "b", "c", "d", "e", "f"}));
  EXPECT_EQ(leggi_campi("a,\nb"), (Campi{"a", "", "b"}));
  EXPECT_EQ(leggi_campi("a,"), (Campi{"a", ""}));
  EXPECT_EQ(leggi_campi(""), Campi{});
}

TEST(CampiCsv, QuotesOutOfStep) {
  // A quoted field runs to the next quote, across lines; text after it is dropped.
  EXPECT_EQ(leggi_campi("\"a\nb\"x,c"), (Campi{"a\nb", "c"}));
  EXPECT_EQ(leggi_campi("\"NOME \"BIS\"\",\"x\""), (Campi{"NOME ", "x"}));
  // An unclosed quote takes the rest of the text.
  EXPECT_EQ(leggi_campi("a,\"bc,d\r\n"), (Campi{"a", "bc,d\r\n"}));
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

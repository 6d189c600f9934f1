#include "reference/dcata.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace flussom {
namespace {

std::string verificata(const std::string& data, int anno_corrente = 2024) { return DCATA(data, anno_corrente); }

// Every day 0 to 32 of every month 0 to 13 of the years [da, a] stepping `passo`, written in
// full and with a blank for a leading zero, against the proleptic Gregorian calendar.
void confronta_col_calendario(int da, int a, int passo) {
  for (int anno = da; anno <= a; anno += passo) {
    for (int m = 0; m <= 13; ++m) {
      for (int g = 0; g <= 32; ++g) {
        char t[48];
        std::snprintf(t, sizeof t, anno < 0 ? "%02d/%02d/-%03d" : "%02d/%02d/%04d", g, m, anno < 0 ? -anno : anno);
        const bool reale = std::chrono::year_month_day{std::chrono::year{anno}, std::chrono::month(m),
                                                       std::chrono::day(g)}.ok();
        ASSERT_EQ(verificata(t, 9999), reale ? t : "") << t;
        std::string con_blanco = t;
        if (g >= 10 && m >= 10) continue;
        con_blanco[g < 10 ? 0 : 3] = ' ';
        ASSERT_EQ(verificata(con_blanco, 9999), reale ? t : "") << con_blanco;
      }
    }
  }
}

TEST(Dcata, LikeTheGregorianCalendar) {
  confronta_col_calendario(1580, 2420, 1);
  confronta_col_calendario(1, 1579, 7);
  confronta_col_calendario(2421, 9999, 13);
  confronta_col_calendario(-999, -1, 3);
  confronta_col_calendario(-996, -4, 8);  // leap years of the years before 1
}

TEST(Dcata, SpecialCases) {
  const struct Caso { std::string data; std::string atteso; int anno = 2024; } casi[] = {
      {"01/01/0000", ""},
      {"31/12/2024", "31/12/2024"},  // later this year than today still passes
      {"01/01/2025", ""},
      {"01/01/2025", "01/01/2025", 2025},
      // Fields are read by their leading number, blanks ignored; a real date comes back in full.
      {"15/AB/1999", ""}, {"XX/01/1999", ""}, {"15/01/ANNO", ""}, {"", ""}, {"          ", ""},
      {" 5/ 3/1999", "05/03/1999"},
      {"5/3/1999", ""},  // characters 4-5 read "/1": no leading number
      {"07/08/  99", "07/08/0099"},
      {"01/02/1e3 ", "01/02/1000"},
      {"1./01/1999", "01/01/1999"},
      {"15/01/199.", "15/01/0199"},
      {"15/01/19.5", ""}, {".5/01/1999", ""},
      {"99/99/9e99", "", 2000000000}, {"31/12/9e9 ", "", 2000000000}, {"01/01/-9e9", "", 2000000000},
      {"01/01/9e-9", "", 2000000000}, {"-9/-9/2000", "", 2000000000},
  };
  for (const Caso& c : casi) EXPECT_EQ(verificata(c.data, c.anno), c.atteso) << "[" << c.data << "]";
}

}  // namespace
}  // namespace flussom

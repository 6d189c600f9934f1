#include "reference/dcata.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace flussom {
namespace {

constexpr int anno_oggi = 2024;

std::string verificata(std::string data, int anno_corrente = anno_oggi) {
  DCATA(data, anno_corrente);
  return data;
}

bool valida(const std::string& data, int anno_corrente = anno_oggi) {
  return !verificata(data, anno_corrente).empty();
}

std::string testo_data(int g, int m, int a) {
  char buf[48];
  if (a < 0)
    std::snprintf(buf, sizeof buf, "%02d/%02d/-%03d", g, m, -a);
  else
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", g, m, a);
  return buf;
}

bool reale(int g, int m, int a) {
  return std::chrono::year_month_day{std::chrono::year{a}, std::chrono::month(m),
                                     std::chrono::day(g)}
      .ok();
}

// Every day number 0 to 32 and month 0 to 13 of every year in [da, a], stepping `passo`.
void confronta_col_calendario(int da, int a, int passo) {
  for (int anno = da; anno <= a; anno += passo) {
    for (int m = 0; m <= 13; ++m) {
      for (int g = 0; g <= 32; ++g) {
        const std::string t = testo_data(g, m, anno);
        const bool atteso = anno != 0 && reale(g, m, anno);
        ASSERT_EQ(valida(t, 9999), atteso) << t;
        if (atteso) {
          ASSERT_EQ(verificata(t, 9999), t);
        }
        // The same date with a blank for a leading zero reads the same numbers.
        std::string con_blanco = t;
        if (g < 10)
          con_blanco[0] = ' ';
        else if (m < 10)
          con_blanco[3] = ' ';
        else
          continue;
        ASSERT_EQ(verificata(con_blanco, 9999), atteso ? t : "") << con_blanco;
      }
    }
  }
}

TEST(Dcata, ComeIlCalendarioGregorianoOgniGiornoDiSeiSecoli) {
  confronta_col_calendario(1580, 2420, 1);
}

TEST(Dcata, ComeIlCalendarioGregorianoSuAnniLontani) {
  confronta_col_calendario(1, 1579, 7);
  confronta_col_calendario(2421, 9999, 13);
  confronta_col_calendario(-999, -1, 3);
}

TEST(Dcata, AnniBisestili) {
  EXPECT_TRUE(valida("29/02/2000"));
  EXPECT_FALSE(valida("29/02/1900"));
  EXPECT_FALSE(valida("29/02/2023"));
  EXPECT_TRUE(valida("29/02/2024"));
  EXPECT_TRUE(valida("29/02/1600"));
  EXPECT_FALSE(valida("29/02/1700"));
}

TEST(Dcata, GiorniEMesiFuoriMisura) {
  for (const char* t : {"31/04/1999", "00/01/1999", "15/13/1999", "15/00/1999", "32/01/1999",
                        "31/06/1999", "30/02/2000"})
    EXPECT_FALSE(valida(t)) << t;
  EXPECT_TRUE(valida("31/12/1999"));
  EXPECT_TRUE(valida("30/04/1999"));
}

TEST(Dcata, AnnoZeroEAnniFuturi) {
  EXPECT_FALSE(valida("01/01/0000"));
  EXPECT_TRUE(valida("31/12/2024"));  // later this year than today still passes
  EXPECT_FALSE(valida("01/01/2025"));
  EXPECT_TRUE(valida("01/01/2025", 2025));
}

TEST(Dcata, DateAntiche) {
  EXPECT_EQ(verificata("15/06/1790"), "15/06/1790");
  EXPECT_EQ(verificata("01/01/1800"), "01/01/1800");
  EXPECT_EQ(verificata("01/01/0001"), "01/01/0001");
}

TEST(Dcata, CampiConLettereLeggonoZero) {
  EXPECT_FALSE(valida("15/AB/1999"));
  EXPECT_FALSE(valida("XX/01/1999"));
  EXPECT_FALSE(valida("15/01/ANNO"));
  EXPECT_FALSE(valida(""));
  EXPECT_FALSE(valida("          "));
}

TEST(Dcata, AnnoNegativoGiudicatoDalCalendario) {
  EXPECT_EQ(verificata("15/06/-044"), "15/06/-044");
  EXPECT_EQ(verificata("29/02/-004"), "29/02/-004");  // divisible by 4
  EXPECT_FALSE(valida("29/02/-100"));
  EXPECT_TRUE(valida("29/02/-400"));
}

TEST(Dcata, NumeriEnormiNonPassano) {
  for (const char* t : {"99/99/9e99", "31/12/9e9 ", "01/01/-9e9", "01/01/9e-9", "-9/-9/2000"})
    EXPECT_FALSE(valida(t, 2000000000)) << t;
}

TEST(Dcata, RiscritturaConZeriIniziali) {
  // Blanks are ignored when the numbers are read; the date comes back in full.
  EXPECT_EQ(verificata(" 5/ 3/1999"), "05/03/1999");
  EXPECT_EQ(verificata("5/3/1999"), "");  // characters 4-5 read "/1": no leading number
  EXPECT_EQ(verificata("07/08/  99"), "07/08/0099");
  EXPECT_EQ(verificata("01/02/1e3 "), "01/02/1000");
}

TEST(Dcata, NumeriConFrazioneNonPassano) {
  EXPECT_EQ(verificata("1./01/1999"), "01/01/1999");  // no digits after the point: whole
  EXPECT_FALSE(valida("15/01/19.5"));
  EXPECT_FALSE(valida(".5/01/1999"));
  EXPECT_TRUE(valida("15/01/199."));  // 199 with an empty fraction is whole
}

}  // namespace
}  // namespace flussom

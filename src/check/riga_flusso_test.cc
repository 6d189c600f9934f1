#include "check/riga_flusso.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "check/formato.h"

namespace flussom {
namespace {

// Puts `valore` at a 1-based position of a line of 222 blanks.
std::string linea_con(std::initializer_list<std::pair<std::size_t, std::string>> campi) {
  std::string l(222, ' ');
  for (const auto& [pos, v] : campi) l.replace(pos - 1, v.size(), v);
  return l;
}

TEST(RigaFlusso, BlankLineGivesEmptyFieldsAndQuantityZero) {
  RigaFlusso r;
  dividi_riga(std::string(222, ' '), r);
  EXPECT_EQ(r.cod_regione, "");
  EXPECT_EQ(r.cognome, "");
  EXPECT_EQ(r.data_nascita, "");
  EXPECT_EQ(r.importo, "");
  EXPECT_EQ(r.importo_ticket, "");
  EXPECT_EQ(r.quantita, "0");
  EXPECT_FALSE(riga_99(r));
}

TEST(RigaFlusso, FieldsAtTheirPositions) {
  RigaFlusso r;
  dividi_riga(linea_con({{1, "190"}, {4, "201"}, {7, "1234"}, {13, "09"}, {31, "ROSSI"},
                         {81, "RSSMRA80A01H501U"}, {123, "ABC123"}, {139, "99"},
                         {155, "89.7"}, {188, "1"}, {189, "XXXXXXXXXX"}}),
              r);
  EXPECT_EQ(r.cod_regione, "190");
  EXPECT_EQ(r.cod_azienda, "201");
  EXPECT_EQ(r.cod_struttura, "1234");
  EXPECT_EQ(r.cod_branca, "09");
  EXPECT_EQ(r.cognome, "ROSSI");
  EXPECT_EQ(r.cod_fiscale, "RSSMRA80A01H501U");
  EXPECT_EQ(r.num_ricetta, "ABC123");
  EXPECT_EQ(r.cod_prestazione, "89.7");
  EXPECT_EQ(r.pos_contabile, "1");
  EXPECT_TRUE(riga_99(r));
}

TEST(RigaFlusso, ClosingRowNeedsTheValue99) {
  RigaFlusso r;
  for (const char* p : {"9A", "09", " 9"}) {
    dividi_riga(linea_con({{139, p}}), r);
    EXPECT_FALSE(riga_99(r)) << p;
  }
}

TEST(RigaFlusso, ShortLineGivesWhatIsThere) {
  RigaFlusso r;
  dividi_riga("190201123456", r);
  EXPECT_EQ(r.cod_struttura, "123456");
  EXPECT_EQ(r.cod_branca, "");
  EXPECT_EQ(r.pos_contabile, "");
  dividi_riga("", r);
  EXPECT_EQ(r.cod_regione, "");
}

TEST(RigaFlusso, DateRule) {
  std::string d;
  converti_data("25121990", d);
  EXPECT_EQ(d, "25/12/1990");
  converti_data("00000000", d);
  EXPECT_EQ(d, "00000000");
  converti_data("        ", d);
  EXPECT_EQ(d, "");
  converti_data("00051960", d);  // value 51960 > 0: converted, day 00 kept
  EXPECT_EQ(d, "00/05/1960");
  converti_data("ABCDEFGH", d);
  EXPECT_EQ(d, "ABCDEFGH");
  converti_data(" 1234  ", d);  // short texts are cut as far as they reach
  EXPECT_EQ(d, "12/34/1234");
  converti_data("12", d);  // nothing for the month
  EXPECT_EQ(d, "12//12");
  converti_data(" 7", d);
  EXPECT_EQ(d, "7//7");
}

TEST(RigaFlusso, QuantityRule) {
  std::string q;
  converti_quantita("012", q);
  EXPECT_EQ(q, "12");
  converti_quantita("1 2", q);
  EXPECT_EQ(q, "12");
  converti_quantita("ABC", q);
  EXPECT_EQ(q, "0");
  converti_quantita("   ", q);
  EXPECT_EQ(q, "0");
  converti_quantita("1.5", q);
  EXPECT_EQ(q, "1.5");
  converti_quantita("-1 ", q);
  EXPECT_EQ(q, "-1");
}

TEST(RigaFlusso, TicketRule) {
  std::string t;
  converti_ticket("0012,50", t);
  EXPECT_EQ(t, "12,50");
  converti_ticket("0000,50", t);
  EXPECT_EQ(t, ",50");
  converti_ticket("0003,50", t);
  EXPECT_EQ(t, "3,50");
  converti_ticket("0000000", t);
  EXPECT_EQ(t, ",00");
  converti_ticket("       ", t);
  EXPECT_EQ(t, "");
  converti_ticket("12A,00 ", t);
  EXPECT_EQ(t, "12A,00");
  converti_ticket("1.250,0", t);
  EXPECT_EQ(t, "1250,00");
  converti_ticket("-5,5", t);
  EXPECT_EQ(t, "-5,50");
}

TEST(RigaFlusso, UsualAmountsAreWrittenAsTheRuleWritesThem) {
  // Amounts built piece by piece: what the rule must give is the pattern of their value.
  std::mt19937_64 caso(9);
  const auto cifre = [&](std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + caso() % 10));
    return s;
  };
  for (int i = 0; i < 50000; ++i) {
    const std::string segno = std::array<const char*, 4>{"", "", "-", "+"}[caso() % 4];
    const std::string intere = cifre(caso() % 18);
    const std::string decimali = cifre(caso() % 4);
    if (intere.empty() && decimali.empty()) continue;
    std::string con_punti = intere;  // "." groups thousands anywhere in the whole part
    if (!con_punti.empty() && caso() % 3 == 0) con_punti.insert(caso() % con_punti.size(), ".");
    const double valore = std::strtod((segno + intere + "." + decimali).c_str(), nullptr);
    std::string out;
    converti_ticket(segno + con_punti + "," + decimali, out);
    EXPECT_EQ(out, formato_importo(valore)) << segno + con_punti + "," + decimali;
    converti_importo(segno + con_punti + "," + decimali, out);
    EXPECT_EQ(out, formato_importo(valore)) << segno + con_punti + "," + decimali;
    if (intere.empty()) continue;
    const double intero = std::strtod((segno + intere).c_str(), nullptr);
    converti_importo(segno + con_punti, out);
    EXPECT_EQ(out, formato_intero(intero)) << segno + con_punti;
  }
  std::string t;
  converti_ticket("-0,00", t);
  EXPECT_EQ(t, ",00");
  converti_ticket("-,5", t);
  EXPECT_EQ(t, "-,50");
  converti_ticket(",", t);
  EXPECT_EQ(t, ",");
  converti_ticket("1,2,3", t);
  EXPECT_EQ(t, "1,2,3");
  converti_ticket("0,125", t);  // three decimals: rounded
  EXPECT_EQ(t, ",13");
  converti_ticket("1234567890123456,7", t);  // beyond 15 digits
  EXPECT_EQ(t, "1234567890123460,00");
  converti_importo("-0000000", t);
  EXPECT_EQ(t, "");
  converti_importo("+.", t);
  EXPECT_EQ(t, "+.");
}

TEST(RigaFlusso, UsualQuantitiesAndDates) {
  std::string q;
  converti_quantita("000", q);
  EXPECT_EQ(q, "0");
  converti_quantita("100", q);
  EXPECT_EQ(q, "100");
  converti_quantita("0000000000000000001", q);
  EXPECT_EQ(q, "1");
  converti_quantita("", q);
  EXPECT_EQ(q, "0");
  std::string d;
  converti_data("00102026", d);
  EXPECT_EQ(d, "00/10/2026");
  converti_data("0000000A", d);
  EXPECT_EQ(d, "0000000A");
}

TEST(RigaFlusso, ClosingRowOfAnyProgressivoText) {
  RigaFlusso r;
  for (const char* p : {"99", "099", " 99", "9.9e1", "99.0"}) {
    r.progressivo = p;
    EXPECT_TRUE(riga_99(r)) << p;
  }
  for (const char* p : {"", "9", "98", "9 ", "999", "9A"}) {
    r.progressivo = p;
    EXPECT_FALSE(riga_99(r)) << p;
  }
}

// Every field of a split line, to compare two splits.
std::vector<std::string> tutti(const RigaFlusso& r) {
  return {r.cod_regione,      r.cod_azienda,    r.cod_struttura,   r.cod_branca,   r.cod_medico,
          r.cognome,          r.nome,           r.cod_fiscale,     r.sesso,        r.data_nascita,
          r.comune_res,       r.asl_res,        r.data_prenotazione, r.num_ricetta, r.progressivo,
          r.cod_diagnosi,     r.data_prestazione, r.cod_nomenclatore, r.cod_prestazione, r.quantita,
          r.pos_ticket,       r.cod_esenzione,  r.importo_ticket,  r.importo,      r.pos_contabile};
}

TEST(RigaFlusso, NextLineSplitLikeAFreshLine) {
  // Lines that differ from the one before in a few characters anywhere, or in length:
  // the split that keeps the repeated fields equals a split from nothing.
  std::mt19937_64 caso(13);
  const std::string base = linea_con({{1, "190201123456"}, {13, "26"}, {15, "RSSMRA12345"},
                                      {31, "ROSSI"}, {61, "ANNA"}, {81, "RSSMRA80A01H501U"},
                                      {97, "1"}, {98, "01021980"}, {106, "058091"}, {112, "201"},
                                      {115, "05102026"}, {123, "190A000000000001"}, {139, "01"},
                                      {146, "06102026"}, {154, "x89.7"}, {162, "001"},
                                      {180, "00020,66"}, {188, "1"}});
  const std::string caratteri = " 0123456789,.-xA";
  std::string precedente = base;
  RigaFlusso r;
  dividi_riga(precedente, r);
  for (int i = 0; i < 20000; ++i) {
    std::string linea = caso() % 4 == 0 ? base : precedente;
    for (int k = static_cast<int>(caso() % 4); k > 0 && !linea.empty(); --k)
      linea[caso() % linea.size()] = caratteri[caso() % caratteri.size()];
    if (caso() % 50 == 0) linea.resize(caso() % 222);
    if (caso() % 50 == 0) linea = base;
    dividi_riga(linea, precedente, r);
    RigaFlusso nuova;
    dividi_riga(linea, nuova);
    ASSERT_EQ(tutti(r), tutti(nuova)) << "[" << precedente << "]\n[" << linea << "]";
    precedente = linea;
  }
}

TEST(RigaFlusso, AmountRule) {
  std::string a;
  converti_importo("0025,00 ", a);
  EXPECT_EQ(a, "25,00");
  converti_importo("00002500", a);
  EXPECT_EQ(a, "2500");
  converti_importo("00012500", a);
  EXPECT_EQ(a, "12500");
  converti_importo("00000000", a);
  EXPECT_EQ(a, "");
  converti_importo("   12.50", a);  // "." groups thousands under the decimal comma
  EXPECT_EQ(a, "1250");
  converti_importo("  12X   ", a);
  EXPECT_EQ(a, "12X");
}

}  // namespace
}  // namespace flussom

#include "check/riga_flusso.h"

#include <gtest/gtest.h>

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

#include "model/riga_flusso.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "base/formato.h"

namespace flussom {
namespace {

// Puts each value at a 1-based position of a line of 222 blanks.
std::string linea_con(std::initializer_list<std::pair<std::size_t, std::string>> campi) {
  std::string l(222, ' ');
  for (const auto& [pos, v] : campi) l.replace(pos - 1, v.size(), v);
  return l;
}

std::vector<std::string_view> tutti(const RigaFlusso& r) {
  return {r.cod_regione,  r.cod_azienda,      r.cod_struttura,    r.cod_branca,
          r.cod_medico,   r.cognome,          r.nome,             r.cod_fiscale,
          r.sesso,        r.data_nascita,     r.comune_res,       r.asl_res,
          r.data_prenotazione, r.num_ricetta, r.progressivo,      r.cod_diagnosi,
          r.data_prestazione, r.cod_nomenclatore, r.cod_prestazione, r.quantita,
          r.pos_ticket,   r.cod_esenzione,    r.importo_ticket,   r.importo,
          r.pos_contabile};
}

TEST(RigaFlusso, BlankAndShortLinesClearWhatTheLineBeforeSet) {
  RigaFlusso r;
  dividi_riga(linea_con({{1, "190"}, {13, "09"}, {31, "ROSSI"}, {162, "003"}, {188, "1"}}), r);
  dividi_riga(std::string(222, ' '), r);
  for (const std::string_view v : {r.cod_regione, r.cognome, r.data_nascita, r.importo, r.importo_ticket})
    EXPECT_EQ(v, "");
  EXPECT_EQ(r.quantita, "0");
  dividi_riga(linea_con({{13, "09"}, {188, "1"}}), r);
  dividi_riga("190201123456", r);
  EXPECT_EQ(r.cod_struttura, "123456");
  EXPECT_EQ(r.cod_branca, "");
  EXPECT_EQ(r.pos_contabile, "");
}

TEST(RigaFlusso, ClosingRowNeedsTheValue99) {
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

TEST(RigaFlusso, ConversionRules) {
  using Regola = void (*)(std::string_view, std::string&);
  struct Caso {
    Regola regola;
    const char* grezzo;
    const char* atteso;
  };
  const Regola D = converti_data, Q = converti_quantita, T = converti_ticket, I = converti_importo;
  const Caso casi[] = {
      {D, "25121990", "25/12/1990"}, {D, "00000000", "00000000"}, {D, "        ", ""},
      {D, "00051960", "00/05/1960"}, {D, "ABCDEFGH", "ABCDEFGH"}, {D, "0000000A", "0000000A"},
      {D, " 1234  ", "12/34/1234"}, {D, "12", "12//12"}, {D, " 7", "7//7"}, {Q, "012", "12"},
      {Q, "1 2", "12"}, {Q, "ABC", "0"}, {Q, "", "0"}, {Q, "1.5", "1.5"}, {Q, "-1 ", "-1"},
      {Q, "0000000000000000001", "1"}, {T, "0012,50", "12,50"}, {T, "0000,50", ",50"},
      {T, "0000000", ",00"}, {T, "       ", ""}, {T, "12A,00 ", "12A,00"},
      {T, "1.250,0", "1250,00"}, {T, "-5,5", "-5,50"}, {T, "-0,00", ",00"}, {T, "-,5", "-,50"},
      {T, ",", ","}, {T, "1,2,3", "1,2,3"}, {T, "0,125", ",13"},
      {T, "1234567890123456,7", "1234567890123460,00"}, {I, "0025,00 ", "25,00"},
      {I, "00012500", "12500"}, {I, "00000000", ""}, {I, "-0000000", ""}, {I, "   12.50", "1250"},
      {I, "  12X   ", "12X"}, {I, "+.", "+."}, {T, "+1,5E+2", "150,00"}, {T, "1e5x", "1e5x"},
      {Q, "-1.5", "-1.5"}, {Q, "1e20", "100000000000000000000"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.grezzo);
    std::string out = "residuo";
    c.regola(c.grezzo, out);
    EXPECT_EQ(out, c.atteso);
  }
}

TEST(RigaFlusso, UsualAmountsAreWrittenAsTheirValuesPattern) {
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
    const std::string testo = segno + con_punti + "," + decimali;
    std::string out;
    converti_ticket(testo, out);
    EXPECT_EQ(out, formato_importo(valore)) << testo;
    converti_importo(testo, out);
    EXPECT_EQ(out, formato_importo(valore)) << testo;
    if (intere.empty()) continue;
    converti_importo(segno + con_punti, out);
    EXPECT_EQ(out, formato_intero(std::strtod((segno + intere).c_str(), nullptr))) << con_punti;
  }
}

// Split after other lines, a line gives what it gives split alone: the conversions kept
// from the line before and those remembered from earlier lines are what the conversion
// itself gives, and the fields outlive the line.
TEST(RigaFlusso, NextLineSplitLikeAFreshLine) {
  std::mt19937_64 caso(13);
  const std::string base = linea_con({{1, "190201123456"}, {13, "26"}, {15, "RSSMRA12345"},
                                      {31, "ROSSI"}, {61, "ANNA"}, {81, "RSSMRA80A01H501U"},
                                      {97, "1"}, {98, "01021980"}, {106, "058091"}, {112, "201"},
                                      {115, "05102026"}, {123, "190A000000000001"}, {139, "01"},
                                      {146, "06102026"}, {154, "x89.7"}, {162, "001"},
                                      {180, "00020,66"}, {188, "1"}});
  const std::string caratteri = " 0123456789,.-xAe";
  std::string precedente = base;
  RigaFlusso r;
  dividi_riga(precedente, r);
  for (int i = 0; i < 20000; ++i) {
    std::string linea = caso() % 4 == 0 ? base : precedente;
    for (int k = static_cast<int>(caso() % 4); k > 0 && !linea.empty(); --k)
      linea[caso() % linea.size()] = caratteri[caso() % caratteri.size()];
    if (caso() % 50 == 0) linea.resize(caso() % 222);
    if (caso() % 50 == 0) linea = base;
    dividi_riga(std::string(linea), r);
    RigaFlusso nuova;
    dividi_riga(linea, nuova);
    ASSERT_EQ(tutti(r), tutti(nuova)) << "[" << precedente << "]\n[" << linea << "]";
    std::string diretta;
    const struct {
      std::size_t posizione, lunghezza;
      void (*conversione)(std::string_view, std::string&);
      std::string_view campo;
    } convertiti[] = {{98, 8, converti_data, r.data_nascita},     {115, 8, converti_data, r.data_prenotazione},
                      {146, 8, converti_data, r.data_prestazione}, {162, 3, converti_quantita, r.quantita},
                      {173, 7, converti_ticket, r.importo_ticket}, {180, 8, converti_importo, r.importo}};
    for (const auto& c : convertiti) {
      c.conversione(campo(linea, c.posizione, c.lunghezza), diretta);
      ASSERT_EQ(c.campo, diretta) << "[" << linea << "] " << c.posizione;
    }
    precedente = linea;
  }
}

}  // namespace
}  // namespace flussom

#include "risultati/riepilogo_csv.h"

#include <gtest/gtest.h>

namespace flussom {
namespace {

TEST(RiepilogoCsv, TextCellsStayTextsAndValidUtf8) {
  const std::pair<std::string, std::string> casi[] = {
      {"FLM102026.txt", "FLM102026.txt"},
      {"", ""},
      {"x=1+1", "x=1+1"},  // only a leading sign makes a formula
      {"=1+1", "'=1+1"},
      {"+39 06", "'+39 06"},
      {"-2", "'-2"},
      {"@SOMMA(A1)", "'@SOMMA(A1)"},
      {"\tx", "'\tx"},
      {"\rx", "\"'\rx\""},  // the apostrophe, then the quotes the CR needs
      {"=A1;B1", "\"'=A1;B1\""},
      {"a;b", "\"a;b\""},
      {"di \"Roma\"", "\"di \"\"Roma\"\"\""},
      {"riga\nriga", "\"riga\nriga\""},
      {"citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x98\x80", "citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      // Bytes that are not UTF-8, one U+FFFD each.
      {"FLM\x9b.txt", "FLM\xEF\xBF\xBD.txt"},
      {"=\xE0", "'=\xEF\xBF\xBD"},
      {"\xE0=", "\xEF\xBF\xBD="},
      {"a\xC3", "a\xEF\xBF\xBD"},                                       // cut short
      {"\xC0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},                         // overlong
      {"\xE0\x9F\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},         // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},         // a surrogate
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // past U+10FFFF
      {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},                         // U+10FFFF itself
  };
  for (const auto& [testo, cella] : casi) EXPECT_EQ(cella_testo(testo), cella) << testo;
}

RisultatoRun corretto(double prestazioni, double ticket, double netto, double sconto) {
  RisultatoRun r;
  r.esito = EsitoRun::corretto;
  r.codice_struttura = "123456";
  r.denominazione_struttura = "AMBULATORIO PROVA";
  r.mese = 10;
  r.totali.nricette = 250000;
  r.totali.nrec = 1003289;
  r.totali.nprestazioni = prestazioni;
  r.totali.tot_ticket = ticket;
  r.totali.tot_netto = netto;
  r.totali.tot_sconto = sconto;
  return r;
}

TEST(RiepilogoCsv, CountsAreWholeNumbersAndAmountsComeFromCents) {
  RisultatoRun forestiera = corretto(2.5, 20.66, 0, 1.5);
  forestiera.codice_struttura = "+39";
  forestiera.denominazione_struttura = "-CITT\xC0 S.R.L.;2";  // Windows-1252
  RisultatoRun con_errori = corretto(1, 1, 1, 1);
  con_errori.esito = EsitoRun::con_errori;
  RisultatoRun illeggibile;
  illeggibile.esito = EsitoRun::file_non_leggibile;
  struct Caso {
    std::string file;
    RisultatoRun r;
    std::int64_t blocchi;
    std::string riga;
  };
  const Caso casi[] = {
      {"/dati/FLM102026.txt", corretto(1003288, 1234567.89, 10000000.01, 0.1 + 0.2), 0,
       "/dati/FLM102026.txt;123456;AMBULATORIO PROVA;10;corretto;250000;1003288;1003288;11234567,90;"
       "1234567,89;10000000,01;0,30;9999999,71;0\r\n"},
      {"f", corretto(123456789012, 0.05, -1234.5, 0), 0,
       "f;123456;AMBULATORIO PROVA;10;corretto;250000;1003288;123456789012;-1234,45;0,05;-1234,50;0,00;"
       "-1234,50;0\r\n"},
      // Negative amounts stay numbers; the facility's texts get the apostrophe.
      {"f", forestiera, 0,
       "f;'+39;\"'-CITT\xC3\x80 S.R.L.;2\";10;corretto;250000;1003288;2,5;20,66;20,66;0,00;1,50;-1,50;0\r\n"},
      {"f", corretto(0.1 + 0.2, 0, 0, 0.004), 0,
       "f;123456;AMBULATORIO PROVA;10;corretto;250000;1003288;0,3;0,00;0,00;0,00;0,00;0,00;0\r\n"},
      {"=f", con_errori, 3, "'=f;123456;AMBULATORIO PROVA;10;errori;;;;;;;;;3\r\n"},
      {"\x9b.txt", illeggibile, 0, "\xEF\xBF\xBD.txt;;;;non_controllato;;;;;;;;;\r\n"},
  };
  for (const Caso& c : casi) EXPECT_EQ(riga_riepilogo(c.file, c.r, c.blocchi), c.riga);
}

}  // namespace
}  // namespace flussom

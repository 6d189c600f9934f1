#include <gtest/gtest.h>

#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

using R = prova::RigaProva;
using prova::Campo;

// A closing row with the given fields changed through controlla_testata, in the year `anno`,
// against the test tables (COMUXX: 001001, 058091) or none: the report it writes.
std::string testata(const std::vector<Campo>& campi, int anno = 2026, std::string struttura = "123456",
                    bool tabelle_prova = true) {
  prova::StatoProva p(anno);
  if (tabelle_prova) prova::costruisci_in(p.cartella.percorso(), prova::tabelle_base());
  StatoRun& s = p.s;
  R r = R().chiusura("0005,60", "00015,06");
  for (const Campo& c : campi) r.*c.campo = c.testo;
  const std::string linea = r.linea();
  s.linea = linea;
  dividi_riga(linea, s.riga);
  s.codice_struttura = struttura;
  controlla_testata(s);
  return p.nuovo();
}

std::string cf_errato(const std::string& letto, const std::string& corretto) {
  return " Codice fiscale " + letto + " errato " + (corretto.empty() ? "< 16 ctr" : "( " + corretto + " )") + "\r\n";
}
const std::string cognome = " Cognome con caratteri errati (0@!-)  \r\n";

TEST(ControllaTestata, EveryFieldAndEveryCheckInItsOrder) {
  const struct Caso { std::vector<Campo> campi; std::string atteso; int anno = 2026; } casi[] = {
      {{}, ""},
      {{{&R::num_ricetta, "19000000000001"}}, " Numero ricetta errato o mancante \r\n"},
      {{{&R::num_ricetta, "1900000000000012"}}, ""},
      {{{&R::cod_fiscale, "RSSMRA80A01H501"}}, cf_errato("RSSMRA80A01H501", "")},
      {{{&R::cod_fiscale, ""}, {&R::sesso, ""}}, cf_errato("", "") + " Sesso errato o mancante      \r\n"},
      {{{&R::cod_fiscale, "RSSMRA80A01H501X"}}, cf_errato("RSSMRA80A01H501X", "RSSMRA80A01H501U")},
      // Lower case is reported even with the right check character; only STP in capitals skips it.
      {{{&R::cod_fiscale, "rssmra80a01h501u"}}, cf_errato("rssmra80a01h501u", "RSSMRA80A01H501U")},
      {{{&R::cod_fiscale, "STP123456789012A"}}, ""},
      {{{&R::cod_fiscale, "stp123456789012A"}}, cf_errato("stp123456789012A", "STP123456789012K")},
      // One line per offending character; the edges of both ranges, and bytes above 127, pass.
      {{{&R::cognome, "O'BRIEN ./A Z[`~\xC0\xE8"}}, ""},
      {{{&R::cognome, "0@!-"}}, cognome + cognome + cognome + cognome},
      {{{&R::sesso, "2"}}, ""},
      {{{&R::sesso, "0"}}, ""},  // a codice fiscale is there
      {{{&R::cod_regione, "191"}}, " Codice Regione errato o mancante \r\n"},
      {{{&R::cod_azienda, "099"}}, " Codice Azienda errato o mancante \r\n"},
      {{{&R::cod_azienda, "100"}}, ""},
      {{{&R::comune_res, "ABC"}}, " Comune residenza vuoto       \r\n"},
      {{{&R::comune_res, "058092"}}, " Comune residenza errato 058092\r\n"},
      {{{&R::comune_res, "1001"}}, " Comune residenza errato 1001\r\n"},
      {{{&R::data_nascita, "01012027"}}, " Data nascita errata 01/01/2027\r\n"},
      {{{&R::data_nascita, "00051900"}}, ""},  // day 00: neither the date nor the age is checked
      {{{&R::data_nascita, "01011908"}}, " Controllare anno nascita (1908)  101 anni di et\xE0\r\n", 2009},
      {{{&R::data_nascita, "31121909"}}, "", 2009},
  };
  for (const Caso& c : casi) EXPECT_EQ(testata(c.campi, c.anno), c.atteso) << "caso " << &c - casi;
  // The facility code as it stands in the line; a missing COMUXX.DAT knows no municipality.
  EXPECT_EQ(testata({{&R::cod_struttura, "12345 "}}, 2026, "12345"), " Codice Struttura letto errato : 12345 \r\n");
  EXPECT_EQ(testata({}, 2026, "123456", false), " Comune residenza errato 001001\r\n");
  // Every check in its order.
  EXPECT_EQ(testata({{&R::cod_regione, "000"}, {&R::cod_azienda, "000"}, {&R::cod_struttura, "1234"},
                     {&R::num_ricetta, "1"}, {&R::cod_fiscale, ""}, {&R::cognome, "X1"}, {&R::nome, "Y-"},
                     {&R::sesso, "3"}, {&R::data_nascita, "32011800"}, {&R::comune_res, ""}},
                    2026, "1234"),
            " Codice Struttura letto errato : 1234  \r\n Numero ricetta errato o mancante \r\n" + cf_errato("", "") +
                " Cognome con caratteri errati (X1)  \r\n Nome con caratteri errati (Y-)  \r\n"
                " Sesso errato o mancante      \r\n Codice Regione errato o mancante \r\n"
                " Codice Azienda errato o mancante \r\n Comune residenza vuoto       \r\n"
                " Data nascita errata 32/01/1800\r\n Controllare anno nascita (1800)  226 anni di et\xE0\r\n");
}

}  // namespace
}  // namespace flussom

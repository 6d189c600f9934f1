#include <gtest/gtest.h>

#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

using F = RigaFlusso;
using Campo = prova::CampoDi<F, std::string_view>;  // the line's fields show the cases' texts

// A ricetta whose first line passes every check; the line with `campi` changed is checked as
// line n (line 1 replaces the first line), against ICD9.DAT 250, 4011, V01: the report.
std::string controlla(const std::vector<Campo>& campi, std::int64_t n = 1) {
  prova::StatoProva p(2024);
  std::string icd9;
  for (const char* c : {"250   ", "4011  ", "V01   "}) icd9 += c + std::string(57, 'x');
  p.tabelle.icd9().carica_da(icd9);
  StatoRun& s = p.s;
  const std::vector<Campo> prima = {{&F::cod_medico, "RSSMRA01"}, {&F::cod_fiscale, "RSSMRA80A01H501U"},
                                    {&F::data_prenotazione, "24/10/2009"}, {&F::progressivo, "1"},
                                    {&F::cod_diagnosi, "4011"}, {&F::data_prestazione, "25/10/2009"}, {&F::quantita, "1"}};
  for (const Campo& c : prima) s.riga.*c.campo = c.testo;
  s.ricetta.memorizza(1, s.riga);
  for (const Campo& c : campi) s.riga.*c.campo = c.testo;
  s.ricetta.nprest = n;
  s.ricetta.memorizza(n, s.riga);
  controlla_riga(s);
  return p.nuovo();
}

const std::string medico = " Medico prescrittore con caratteri errati ";
const std::string progressivo = " Numero progressivo prestazione errato     \r\n";
const std::string quantita = " Quantit\xE0 errata (0)           \r\n";
const std::string prenotazione = " Data prenotazione maggiore della data prestazione \r\n";

TEST(ControllaRiga, EveryField) {
  const struct Caso { std::vector<Campo> campi; std::int64_t n; std::string atteso; } casi[] = {
      {{}, 1, ""},
      {{{&F::cod_medico, "A,B?"}, {&F::progressivo, "7"}, {&F::quantita, "0"}, {&F::data_prenotazione, "26/10/2009"},
        {&F::cod_fiscale, "ABC"}, {&F::cod_diagnosi, "999"}},
       1,
       medico + "A,B?\r\n" + medico + "A,B?\r\n" + progressivo + quantita + prenotazione +
           " Codice fiscale ABC errato < 16 ctr\r\n Codice diagnosi 999 inesistente\r\n"},
      {{{&F::cod_medico, "AB?"}}, 1, medico + "AB?\r\n"},
      {{{&F::cod_medico, ","}}, 1, medico + ",\r\n"},
      // A closing row skips the row number and the quantity only.
      {{{&F::progressivo, "99"}, {&F::quantita, "0"}, {&F::data_prenotazione, "26/10/2009"}, {&F::cod_fiscale, ""},
        {&F::cod_diagnosi, "1"}},
       3, prenotazione + " Codice fiscale  errato < 16 ctr\r\n Codice diagnosi 1 inesistente\r\n"},
      {{{&F::progressivo, "01"}}, 1, ""},
      {{}, 2, progressivo},
      {{{&F::progressivo, "A"}}, 1, progressivo},
      // Past the twentieth line the line's own quantity is read.
      {{{&F::progressivo, "21"}, {&F::quantita, "0"}}, 21, quantita},
      {{{&F::progressivo, "22"}, {&F::quantita, "2"}}, 22, ""},
      // Below 0 as wrong as 0, as the slot holds it; a blank quantity is 0.
      {{{&F::quantita, "-1"}}, 1, " Quantit\xE0 errata (-1)          \r\n"},
      {{{&F::progressivo, "2"}, {&F::quantita, "-12"}}, 2, " Quantit\xE0 errata (-12)         \r\n"},
      {{{&F::quantita, ""}}, 1, quantita},
      {{{&F::progressivo, "99"}, {&F::quantita, "-1"}}, 2, ""},
      // Against the first line's service date, as yyyymmdd keys.
      {{{&F::progressivo, "2"}, {&F::data_prenotazione, "26/10/2009"}, {&F::data_prestazione, "30/10/2009"}},
       2, prenotazione},
      {{{&F::data_prenotazione, "25/10/2009"}}, 1, ""},
      {{{&F::data_prenotazione, "31/12/2008"}, {&F::data_prestazione, "01/01/2009"}}, 1, ""},
      {{{&F::data_prenotazione, "01/01/2010"}, {&F::data_prestazione, "31/12/2009"}}, 1, prenotazione},
      {{{&F::data_prenotazione, "00000000"}}, 1, ""},
      {{{&F::data_prenotazione, ""}}, 1, ""},
      {{{&F::data_prestazione, ""}}, 1, prenotazione},
      {{{&F::cod_fiscale, "RSSMRA80A01H501UX"}}, 1, " Codice fiscale RSSMRA80A01H501UX errato < 16 ctr\r\n"},
      {{{&F::cod_diagnosi, "250"}}, 1, ""},
      {{{&F::cod_diagnosi, ""}}, 1, ""},
      {{{&F::cod_diagnosi, "v01"}}, 1, " Codice diagnosi v01 inesistente\r\n"},
  };
  for (const Caso& c : casi) EXPECT_EQ(controlla(c.campi, c.n), c.atteso) << "caso " << &c - casi;
}

}  // namespace
}  // namespace flussom

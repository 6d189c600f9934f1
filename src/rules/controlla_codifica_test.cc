#include <gtest/gtest.h>

#include "rules/regole.h"
#include "support/stato_prova.h"

namespace flussom {
namespace {

using R = prova::RigaProva;
using prova::Campo;

// A ricetta of a service line (dated 05/10/2026) and its closing row, or of the closing row
// alone, each with the given fields changed, through controlla_codifica: the report.
std::string controlla(const std::vector<Campo>& chiusura, const std::vector<Campo>& prima = {}, bool sola = false) {
  R servizio, finale = R().chiusura("0005,60", "00015,06");
  for (const Campo& c : prima) servizio.*c.campo = c.testo;
  for (const Campo& c : chiusura) finale.*c.campo = c.testo;
  prova::StatoProva p(2026);
  StatoRun& s = p.s;
  dividi_riga(servizio.linea(), s.riga);
  if (!sola) s.ricetta.memorizza(1, s.riga);
  const std::string linea = finale.linea();
  s.linea = linea;
  dividi_riga(linea, s.riga);
  s.ricetta.memorizza(sola ? 1 : 2, s.riga);
  s.ricetta.nprest = 2;  // a closing row alone has been moved on to index 2
  controlla_codifica(s);
  return p.nuovo();
}

const std::string nascita = " Data nascita maggiore della data prescriz.\r\n";

TEST(ControllaCodifica, EveryFieldAndEveryCheckInItsOrder) {
  const struct Caso { std::vector<Campo> chiusura, prima; bool sola; std::string atteso; } casi[] = {
      {{}, {}, false, ""},
      {{}, {}, true, ""},
      {{{&R::cod_branca, "00"}}, {}, false, " Codice Branca  vuoto         \r\n"},
      {{{&R::asl_res, "AB"}}, {}, false, " Codice ASL residenza vuoto   \r\n"},
      {{{&R::cod_nomenclatore, "X"}}, {}, false, " Codice nomenclatore errato X deve essere x\r\n"},
      {{{&R::cod_nomenclatore, ""}}, {}, false, " Codice nomenclatore mancante  \r\n"},
      // The prescription date is the first line's, checked even when blank.
      {{}, {{&R::data_prestazione, "31042026"}}, false, " Data errata 31/04/2026     \r\n"},
      {{}, {{&R::data_prestazione, "05032027"}}, false, " Data errata 05/03/2027     \r\n"},
      {{}, {{&R::data_prestazione, "00000000"}}, false, " Data errata 00000000     \r\n" + nascita},
      {{}, {{&R::data_prestazione, ""}}, false, " Data errata      \r\n" + nascita},
      {{{&R::data_prestazione, "31042026"}}, {}, false, ""},
      {{{&R::data_prestazione, "31042026"}}, {}, true, " Data errata 31/04/2026     \r\n"},
      // Birth and prescription dates compared as yyyymmdd texts, bytes unsigned.
      {{{&R::data_nascita, "05102026"}}, {}, false, ""},
      {{{&R::data_nascita, "06102026"}}, {}, false, nascita},
      {{{&R::data_nascita, "01042025"}}, {{&R::data_prestazione, "31032025"}}, false, nascita},
      {{{&R::data_nascita, "0\xE0" "011990"}}, {{&R::data_prestazione, "05111990"}}, false, nascita},
      {{{&R::cognome, ""}, {&R::nome, ""}, {&R::cod_fiscale, ""}, {&R::data_nascita, ""}}, {}, false,
       " Dati anagrafici non presenti \r\n"},
      {{{&R::cognome, ""}, {&R::nome, ""}, {&R::cod_fiscale, ""}, {&R::data_nascita, "00000000"}}, {}, false, ""},
  };
  for (const Caso& c : casi) EXPECT_EQ(controlla(c.chiusura, c.prima, c.sola), c.atteso) << "caso " << &c - casi;
  // Every check in its order.
  EXPECT_EQ(controlla({{&R::cod_branca, ""}, {&R::cod_medico, ""}, {&R::cognome, ""}, {&R::nome, ""},
                       {&R::cod_fiscale, ""}, {&R::data_nascita, "30022026"}, {&R::asl_res, ""},
                       {&R::cod_nomenclatore, "y"}},
                      {{&R::data_prestazione, "01022026"}}),
            " Codice Branca  vuoto         \r\n Codice ASL residenza vuoto   \r\n"
            " Codice nomenclatore errato y deve essere x\r\n" +
                nascita + " Medico prescrittore mancante \r\n");
}

}  // namespace
}  // namespace flussom

// Coding and date checks of a closing row: specialty, health authority of residence,
// nomenclature, prescription date, birth date against it, personal data, doctor.
#include <string>
#include <string_view>

#include "base/testo.h"
#include "reference/dcata.h"
#include "rules/regole.h"

namespace flussom {

void controlla_codifica(StatoRun& s) {
  const RigaFlusso& r = s.riga;

  if (valnum(r.cod_branca) == 0) s.errore(Regola::branca_vuota, {" Codice Branca  vuoto         "});
  if (valnum(r.asl_res) == 0) s.errore(Regola::asl_vuota, {" Codice ASL residenza vuoto   "});

  if (r.cod_nomenclatore.empty()) {
    s.errore(Regola::nomenclatore_mancante, {" Codice nomenclatore mancante  "});
  } else if (r.cod_nomenclatore != "x") {
    s.errore(Regola::nomenclatore_errato, {" Codice nomenclatore errato ", r.cod_nomenclatore, " deve essere x"});
  }

  // The prescription date is the date of the ricetta's first line; it is checked even
  // when it is blank.
  const std::string& data_prescrizione = s.ricetta.data_prima_riga();
  if (!data_valida(data_prescrizione, s.anno_corrente)) s.errore(Regola::data_prescrizione_errata, s.ricetta.riga_inizio, {" Data errata ", data_prescrizione, "     "});

  if (data_successiva(r.data_nascita, data_prescrizione))
    s.errore(Regola::data_nascita_maggiore, {" Data nascita maggiore della data prescriz."});

  if (r.cognome.empty() && r.nome.empty() && r.cod_fiscale.empty() && r.data_nascita.empty())
    s.errore(Regola::dati_anagrafici_assenti, {" Dati anagrafici non presenti "});

  if (r.cod_medico.empty()) s.errore(Regola::medico_mancante, {" Medico prescrittore mancante "});
}

}  // namespace flussom

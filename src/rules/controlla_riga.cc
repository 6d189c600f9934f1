#include <string>
#include <string_view>

#include "base/testo.h"
#include "rules/regole.h"

namespace flussom {

void controlla_riga(StatoRun& s) {
  const RigaFlusso& r = s.riga;
  const bool chiusura = s.e_riga_99();

  // A code holding both characters is reported twice.
  if (r.cod_medico.find(',') != std::string_view::npos)
    s.errore(Regola::medico_caratteri_errati, {" Medico prescrittore con caratteri errati ", r.cod_medico});
  if (r.cod_medico.find('?') != std::string_view::npos)
    s.errore(Regola::medico_caratteri_errati, {" Medico prescrittore con caratteri errati ", r.cod_medico});

  if (!chiusura) {
    if (static_cast<double>(s.ricetta.nprest) != valnum(r.progressivo))
      s.errore(Regola::progressivo_errato, {" Numero progressivo prestazione errato     "});
    const SlotRiga& slot = s.slot_corrente();
    if (const double q = slot.valore_quantita; q <= 0) {
      // Below 0 is as wrong as none, shown as the line gave it; the line is 31 characters.
      std::string testo = " Quantit\xE0 errata (" + (q == 0 ? std::string("0") : std::string(slot.quantita)) + ")";
      if (testo.size() < 31) testo.append(31 - testo.size(), ' ');
      s.errore(Regola::quantita_errata, {testo});
    }
  }

  // Against the ricetta's first line, compared as texts: an empty booking date is never later.
  if (data_successiva(r.data_prenotazione, s.ricetta.data_prima_riga()))
    s.errore(Regola::data_prenotazione_maggiore, {" Data prenotazione maggiore della data prestazione "});

  if (r.cod_fiscale.size() != 16)
    s.errore(Regola::codice_fiscale_lunghezza_errata, {" Codice fiscale ", r.cod_fiscale, " errato < 16 ctr"});

  const std::string_view diagnosi = trim(r.cod_diagnosi);
  if (!diagnosi.empty() && cerca_diagnosi(s.tabelle, diagnosi) == 0)
    s.errore(Regola::diagnosi_inesistente, {" Codice diagnosi ", r.cod_diagnosi, " inesistente"});
}

}  // namespace flussom

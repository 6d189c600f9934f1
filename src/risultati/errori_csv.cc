#include "risultati/errori_csv.h"

#include "base/cp1252.h"
#include "base/testo.h"
#include "risultati/riepilogo_csv.h"

namespace flussom {

namespace {

// The fields a rule concerns, as a clerk reads them: "Codice prestazione, Quantità".
std::string campi(Regola regola) {
  const InsiemeCampi insieme = campi_regola(regola);
  std::string elenco;
  for (std::size_t i = 0; i < numero_campi; ++i) {
    const auto c = static_cast<CampoRiga>(i);
    if (!(insieme & bit(c))) continue;
    if (!elenco.empty()) elenco += ", ";
    elenco += etichetta_campo(c);
  }
  return elenco;
}

}  // namespace

ScrittoreErroriCsv::ScrittoreErroriCsv(Uscita uscita) : uscita_(std::move(uscita)) {
  scrivi("\xEF\xBB\xBF" "Blocco;Ricetta;Riga;Regola;Campi;Testo\r\n");
}

void ScrittoreErroriCsv::scrivi(std::string_view testo) {
  if (scritto_ && !uscita_(testo)) scritto_ = false;
}

void ScrittoreErroriCsv::riga_report(const RigaReport& r) {
  raccolta_.riga_report(r);
  if (r.tipo != TipoRigaReport::blocco) return;
  for (const BloccoReport& b : raccolta_.cedi_blocchi()) scrivi_blocco(b);
}

void ScrittoreErroriCsv::scrivi_blocco(const BloccoReport& b) {
  // The numbers are ours and stay numbers; the texts come from the data file.
  const std::string blocco = b.numero > 0 ? std::to_string(b.numero) + ";" + cella_testo(cp1252_a_utf8(b.ricetta))
                                          : std::string(";");
  std::string righe;
  for (const MessaggioReport& m : b.messaggi)
    righe += blocco + ";" + (m.riga > 0 ? std::to_string(m.riga) : std::string()) + ";" +
             std::string(identificatore(m.regola)) + ";" + cella_testo(cp1252_a_utf8(campi(m.regola))) + ";" +
             cella_testo(cp1252_a_utf8(trim(m.testo))) + "\r\n";
  scrivi(righe);
}

bool ScrittoreErroriCsv::concludi() {
  if (!raccolta_.fuori_blocco().empty()) scrivi_blocco({0, {}, 0, 0, raccolta_.fuori_blocco()});
  raccolta_ = RaccoltaReport();
  return scritto_;
}

}  // namespace flussom

#include "support/riga_prova.h"

#include "reference/controcf.h"

namespace flussom::prova {

std::string cf_valido(const std::string& quindici) {
  std::string cf = quindici + "A";
  CONTROCF(cf);
  return cf;
}

namespace {
void metti(std::string& l, std::size_t pos, std::size_t len, const std::string& v) {
  l.replace(pos - 1, std::min(len, v.size()), v.substr(0, len));
}
}  // namespace

std::string RigaProva::linea() const {
  std::string l(222, ' ');
  metti(l, 1, 3, cod_regione);
  metti(l, 4, 3, cod_azienda);
  metti(l, 7, 6, cod_struttura);
  metti(l, 13, 2, cod_branca);
  metti(l, 15, 16, cod_medico);
  metti(l, 31, 30, cognome);
  metti(l, 61, 20, nome);
  metti(l, 81, 16, cod_fiscale);
  metti(l, 97, 1, sesso);
  metti(l, 98, 8, data_nascita);
  metti(l, 106, 6, comune_res);
  metti(l, 112, 3, asl_res);
  metti(l, 115, 8, data_prenotazione);
  metti(l, 123, 16, num_ricetta);
  metti(l, 139, 2, progressivo);
  metti(l, 141, 5, cod_diagnosi);
  metti(l, 146, 8, data_prestazione);
  metti(l, 154, 1, cod_nomenclatore);
  metti(l, 155, 7, cod_prestazione);
  metti(l, 162, 3, quantita);
  metti(l, 165, 2, pos_ticket);
  metti(l, 167, 6, cod_esenzione);
  metti(l, 173, 7, importo_ticket);
  metti(l, 180, 8, importo);
  metti(l, 188, 1, pos_contabile);
  return l;
}

RigaProva RigaProva::chiusura(const std::string& ticket, const std::string& netto) const {
  RigaProva r = *this;
  r.progressivo = "99";
  r.cod_prestazione = "";
  r.quantita = "";
  r.importo_ticket = ticket;
  r.importo = netto;
  return r;
}

std::string ricetta_corretta(const std::string& numero, int servizi) {
  RigaProva r;
  r.num_ricetta = numero;
  std::string out;
  for (int i = 1; i <= servizi; ++i) {
    r.progressivo = std::to_string(i);
    out += r.linea() + "\r\n";
  }
  // 20.66 per visit, all of it declared as ticket.
  const long centesimi = 2066L * servizi;
  char ticket[48];
  std::snprintf(ticket, sizeof ticket, "%04ld,%02ld", centesimi / 100, centesimi % 100);
  out += r.chiusura(ticket, "0000,00").linea() + "\r\n";
  return out;
}

SorgentiProva tabelle_base() {
  SorgentiProva s;
  s.prestazioni = intestazione_prestazioni +
                  "89.7,PRIMA VISITA,20.66,26 08,1.50\n"
                  "89.01,VISITA SUCCESSIVA,12.91,26,\n"
                  "90.27.1,GLUCOSIO,1.17,,\n"
                  "88.72.3,ECOCOLORDOPPLER CARDIACA,61.97,08,\n";
  s.diagnosi = intestazione_codici + "25000,DIABETE\n4019,IPERTENSIONE\n";
  s.comuni = intestazione_codici + "001001,AGLIE'\n058091,ROMA\n";
  s.esenzioni = intestazione_codici + "013,DIABETE\n0A31,IPERTENSIONE\n";
  s.noese = intestazione_noese + "88.72.3,0A31 002\n";
  return s;
}

std::string strutture_base() { return "\"123456\",\"AMBULATORIO PROVA\",\"26\",\"\",\"\"\r\n"; }

}  // namespace flussom::prova

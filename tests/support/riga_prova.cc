#include "support/riga_prova.h"

#include <algorithm>

#include "reference/controcf.h"

namespace flussom::prova {

std::string cf_valido(const std::string& quindici) {
  return CONTROCF(quindici + "A");
}

namespace {
// `v` left-aligned in `n` characters, cut to them.
std::string campo(const std::string& v, std::size_t n) {
  return v.substr(0, n) + std::string(n - std::min(n, v.size()), ' ');
}
}  // namespace

std::string RigaProva::linea() const {
  const std::string l =
      campo(cod_regione, 3) + campo(cod_azienda, 3) + campo(cod_struttura, 6) +
      campo(cod_branca, 2) + campo(cod_medico, 16) + campo(cognome, 30) + campo(nome, 20) +
      campo(cod_fiscale, 16) + campo(sesso, 1) + campo(data_nascita, 8) + campo(comune_res, 6) +
      campo(asl_res, 3) + campo(data_prenotazione, 8) + campo(num_ricetta, 16) +
      campo(progressivo, 2) + campo(cod_diagnosi, 5) + campo(data_prestazione, 8) +
      campo(cod_nomenclatore, 1) + campo(cod_prestazione, 7) + campo(quantita, 3) +
      campo(pos_ticket, 2) + campo(cod_esenzione, 6) + campo(importo_ticket, 7) +
      campo(importo, 8) + campo(pos_contabile, 1);
  return l + std::string(222 - l.size(), ' ');
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

std::string ricetta_con_errore() {
  RigaProva r;
  r.quantita = "000";
  return r.linea() + "\r\n" + r.chiusura("0020,66", "").linea() + "\r\n";
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

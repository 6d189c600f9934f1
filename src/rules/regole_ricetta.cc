#include "rules/regole_ricetta.h"

#include "base/formato.h"

namespace flussom {

void regola_dieci_prestazioni(StatoRun& s) {
  // The count includes the closing row, so the twelfth line is the first too many.
  if (++s.ricetta.nprest > 11) s.errore(Regola::dieci_prestazioni_superate, {" Superate le dieci prestazioni "});
}

void scrivi_blocco(ReportErrori& report, std::int64_t numero, std::string_view ricetta, std::int64_t prima_riga,
                   std::int64_t ultima_riga) {
  static const std::string punti(60, '.');
  RigaReport info;
  info.tipo = TipoRigaReport::blocco;
  info.numero = numero;
  info.ricetta = ricetta;
  info.prima_riga = prima_riga;
  info.ultima_riga = ultima_riga;
  report.scrivi(info, {formato_blocco(numero), " ", punti, " Ricetta Nr   ", ricetta});
}

void chiudi_blocco(StatoRun& s, std::int64_t ultima_riga) {
  ++s.totali.nric_errate;
  scrivi_blocco(s.report, s.totali.nric_errate, s.ricetta.ric_corrente, s.ricetta.riga_inizio, ultima_riga);
  s.report.scrivi(TipoRigaReport::spaziatura, {});
  s.ricetta.err_ricetta = false;
}

void assembla_ricetta(StatoRun& s, const IndiceRicette& precedenti) {
  RicettaCorrente& r = s.ricetta;
  const std::string_view numero = s.riga.num_ricetta;
  const std::int64_t riga = s.totali.nrighe;

  if (r.nprest == 1 && s.e_riga_99()) {
    // The earlier ricetta's errors are closed under its own number first.
    if (r.err_ricetta && numero != r.ric_corrente) chiudi_blocco(s, riga - 1);
    s.errore(Regola::solo_riga_99, {" E'presente solo la riga 99 "});
    r.nprest = 2;  // so the line is not taken for the first line of a ricetta below
    r.ric_corrente = numero;
    r.riga_inizio = riga;
  }

  if (r.ric_aperta && numero != r.ric_corrente) {
    s.errore(Regola::riga_99_mancante, 0, {" Non \xE8 presente la riga 99 "});
    r.ric_aperta = false;
  }

  if (r.err_ricetta && numero != r.ric_corrente) {
    chiudi_blocco(s, riga - 1);
    r.ric_corrente = numero;
    r.riga_inizio = riga;
  }

  if (r.nprest == 1) {
    r.ric_aperta = true;
    r.ric_corrente = numero;
    r.riga_inizio = riga;
    r.err_ricetta = false;
    if (precedenti.contiene(numero)) s.errore(Regola::ricetta_duplicata, {" Ricetta gi\xE0 inserita nel file"});
  }
}

void chiudi_ricetta(StatoRun& s) { s.ricetta.ric_aperta = false; }

void fine_ricette(StatoRun& s) {
  RicettaCorrente& r = s.ricetta;
  // The file ended before the last ricetta's closing row: it is missing as it would be
  // before the first line of another ricetta.
  if (r.ric_aperta) {
    s.errore(Regola::riga_99_mancante, 0, {" Non \xE8 presente la riga 99 "});
    r.ric_aperta = false;
  }
  if (r.err_ricetta) chiudi_blocco(s, s.totali.nrighe);
}

void azzera_ricetta(StatoRun& s) {
  s.ricetta.tot_calcolato = 0;
  s.ricetta.nprest = 0;
  s.ricetta.svuota_slot();
}

}  // namespace flussom

// Data lines for tests, built field by field. The defaults give lines that pass every check
// against the tables of tabelle_base() and the facility of strutture_base(), on a day of
// 2026 or later.
#pragma once

#include <string>
#include <vector>

#include "support/tabelle_prova.h"

namespace flussom::prova {

// A codice fiscale: the fifteen characters given followed by their check character.
std::string cf_valido(const std::string& quindici);

struct RigaProva {
  // Facility and doctor.
  std::string cod_regione = "190", cod_azienda = "201", cod_struttura = "123456",
              cod_branca = "26", cod_medico = "MEDICO0001";
  // Patient.
  std::string cognome = "ROSSI", nome = "MARIO", cod_fiscale = cf_valido("RSSMRA80A01H501"),
              sesso = "1", data_nascita = "01011980", comune_res = "001001", asl_res = "201";
  // Ricetta and service.
  std::string data_prenotazione = "01102026", num_ricetta = "190000000000001", progressivo = "1",
              cod_diagnosi = "", data_prestazione = "05102026", cod_nomenclatore = "x",
              cod_prestazione = "89.7", quantita = "001";
  // Amounts.
  std::string pos_ticket = "02", cod_esenzione = "", importo_ticket = "", importo = "0020,66",
              pos_contabile = "1";

  // The 222 characters of the line (each field left-aligned in its width, cut to it).
  std::string linea() const;
  // The same line as the closing row of its ricetta, declaring the ticket and net amounts.
  RigaProva chiusura(const std::string& ticket, const std::string& netto) const;
};

// A correct ricetta: one service line per code (89.7 visits unless given), the closing row
// declaring everything as ticket. Lines end with CR LF.
std::string ricetta_corretta(const std::string& numero, int servizi = 1);

// A ricetta with one error: a service of quantity 0. Lines end with CR LF.
std::string ricetta_con_errore();

// The fixture tables and facility table the defaults pass against.
SorgentiProva tabelle_base();
std::string strutture_base();  // strutture.DAT with facility 123456 "AMBULATORIO PROVA"

}  // namespace flussom::prova

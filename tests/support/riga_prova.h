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
  std::string cod_regione = "190";
  std::string cod_azienda = "201";
  std::string cod_struttura = "123456";
  std::string cod_branca = "26";
  std::string cod_medico = "MEDICO0001";
  std::string cognome = "ROSSI";
  std::string nome = "MARIO";
  std::string cod_fiscale = cf_valido("RSSMRA80A01H501");
  std::string sesso = "1";
  std::string data_nascita = "01011980";
  std::string comune_res = "001001";
  std::string asl_res = "201";
  std::string data_prenotazione = "01102026";
  std::string num_ricetta = "190000000000001";
  std::string progressivo = "1";
  std::string cod_diagnosi = "";
  std::string data_prestazione = "05102026";
  std::string cod_nomenclatore = "x";
  std::string cod_prestazione = "89.7";
  std::string quantita = "001";
  std::string pos_ticket = "02";
  std::string cod_esenzione = "";
  std::string importo_ticket = "";
  std::string importo = "0020,66";
  std::string pos_contabile = "1";

  // The 222 characters of the line (each field left-aligned in its width, cut to it).
  std::string linea() const;
  // The same line as the closing row of its ricetta, declaring the ticket and net amounts.
  RigaProva chiusura(const std::string& ticket, const std::string& netto) const;
};

// A correct ricetta: one service line per code (89.7 visits unless given), the closing row
// declaring everything as ticket. Lines end with CR LF.
std::string ricetta_corretta(const std::string& numero, int servizi = 1);

// The fixture tables and facility table the defaults pass against.
SorgentiProva tabelle_base();
std::string strutture_base();  // strutture.DAT with facility 123456 "AMBULATORIO PROVA"

}  // namespace flussom::prova

// One data-file line split into its 25 named fields, with the conversions of dates,
// quantity and amounts. Positions are 1-based; characters past 188 are not read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flussom {

inline constexpr std::size_t lunghezza_riga = 222;
// Where the facility code stands in a line (1-based) and its width.
inline constexpr std::size_t posizione_struttura = 7, lunghezza_struttura = 6;

struct RigaFlusso {
  std::string cod_regione;        //   1, 3
  std::string cod_azienda;        //   4, 3
  std::string cod_struttura;      //   7, 6
  std::string cod_branca;         //  13, 2
  std::string cod_medico;         //  15, 16
  std::string cognome;            //  31, 30
  std::string nome;               //  61, 20
  std::string cod_fiscale;        //  81, 16
  std::string sesso;              //  97, 1
  std::string data_nascita;       //  98, 8  date rule
  std::string comune_res;         // 106, 6
  std::string asl_res;            // 112, 3
  std::string data_prenotazione;  // 115, 8  date rule
  std::string num_ricetta;        // 123, 16
  std::string progressivo;        // 139, 2
  std::string cod_diagnosi;       // 141, 5
  std::string data_prestazione;   // 146, 8  date rule
  std::string cod_nomenclatore;   // 154, 1
  std::string cod_prestazione;    // 155, 7
  std::string quantita;           // 162, 3  quantity rule
  std::string pos_ticket;         // 165, 2
  std::string cod_esenzione;      // 167, 6
  std::string importo_ticket;     // 173, 7  ticket amount rule
  std::string importo;            // 180, 8  amount rule
  std::string pos_contabile;      // 188, 1
};

// The fields of a line, in the order of the line layout's table of fields (riga_flusso.cc),
// which also gives their names.
enum class CampoRiga : std::uint8_t {
  cod_regione,
  cod_azienda,
  cod_struttura,
  cod_branca,
  cod_medico,
  cognome,
  nome,
  cod_fiscale,
  sesso,
  data_nascita,
  comune_res,
  asl_res,
  data_prenotazione,
  num_ricetta,
  progressivo,
  cod_diagnosi,
  data_prestazione,
  cod_nomenclatore,
  cod_prestazione,
  quantita,
  pos_ticket,
  cod_esenzione,
  importo_ticket,
  importo,
  pos_contabile,
};
inline constexpr std::size_t numero_campi = 25;

// A set of fields: bit i is the field CampoRiga(i).
using InsiemeCampi = std::uint32_t;
constexpr InsiemeCampi bit(CampoRiga c) { return InsiemeCampi{1} << static_cast<unsigned>(c); }

// The name of a field, as the table of fields gives it (the member's name: "cod_fiscale").
std::string_view nome_campo(CampoRiga c);

// The field's name as a clerk reads it, from the table of fields ("Codice fiscale"),
// Windows-1252.
std::string_view etichetta_campo(CampoRiga c);

// Where a field stands in a line, as the table of fields gives it: 1-based position, width.
struct PosizioneCampo {
  std::size_t posizione, lunghezza;
};
PosizioneCampo posizione_campo(CampoRiga c);

// The characters of a field at a 1-based position, as far as the line reaches.
std::string_view campo(std::string_view linea, std::size_t posizione, std::size_t lunghezza);

// Fills `r` from one line (reusing its strings' storage).
void dividi_riga(std::string_view linea, RigaFlusso& r);

// The same for the line after `precedente` when `r` holds the split of `precedente`: the
// lines of a ricetta repeat the facility, doctor, patient and prescription fields, and
// where they repeat them character for character those fields are left as they are.
void dividi_riga(std::string_view linea, std::string_view precedente, RigaFlusso& r);

// How much of a line dividi_riga reads: the fields end at position 188.
inline constexpr std::size_t lunghezza_letta = 188;

// The line is a closing row: valnum of progressivo is 99.
bool riga_99(const RigaFlusso& r);

// The conversions, each from the raw characters of its field (they trim themselves).
void converti_data(std::string_view grezzo, std::string& out);
void converti_quantita(std::string_view grezzo, std::string& out);
void converti_ticket(std::string_view grezzo, std::string& out);
void converti_importo(std::string_view grezzo, std::string& out);

}  // namespace flussom

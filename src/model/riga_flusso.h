// One data-file line split into its 25 named fields, with the conversions of dates,
// quantity and amounts. Positions are 1-based; characters past 188 are not read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace flussom {

inline constexpr std::size_t lunghezza_riga = 222;
// Where the facility code stands in a line (1-based) and its width.
inline constexpr std::size_t posizione_struttura = 7, lunghezza_struttura = 6;
// How much of a line the split reads: the fields end at position 188.
inline constexpr std::size_t lunghezza_letta = 188;
// How many fields a line has.
inline constexpr std::size_t numero_campi = 25;

// The fields are views, trimmed: of the characters of the line, which the split keeps a
// copy of, or of the text of their conversion. They stay valid until the next split of the
// same RigaFlusso (a field may also be set to any text that outlives its use).
class RigaFlusso {
 public:
  std::string_view cod_regione;        //   1, 3
  std::string_view cod_azienda;        //   4, 3
  std::string_view cod_struttura;      //   7, 6
  std::string_view cod_branca;         //  13, 2
  std::string_view cod_medico;         //  15, 16
  std::string_view cognome;            //  31, 30
  std::string_view nome;               //  61, 20
  std::string_view cod_fiscale;        //  81, 16
  std::string_view sesso;              //  97, 1
  std::string_view data_nascita;       //  98, 8  date rule
  std::string_view comune_res;         // 106, 6
  std::string_view asl_res;            // 112, 3
  std::string_view data_prenotazione;  // 115, 8  date rule
  std::string_view num_ricetta;        // 123, 16
  std::string_view progressivo;        // 139, 2
  std::string_view cod_diagnosi;       // 141, 5
  std::string_view data_prestazione;   // 146, 8  date rule
  std::string_view cod_nomenclatore;   // 154, 1
  std::string_view cod_prestazione;    // 155, 7
  std::string_view quantita;           // 162, 3  quantity rule
  std::string_view pos_ticket;         // 165, 2
  std::string_view cod_esenzione;      // 167, 6
  std::string_view importo_ticket;     // 173, 7  ticket amount rule
  std::string_view importo;            // 180, 8  amount rule
  std::string_view pos_contabile;      // 188, 1

  RigaFlusso() = default;
  // The views would show another line's characters.
  RigaFlusso(const RigaFlusso&) = delete;
  RigaFlusso& operator=(const RigaFlusso&) = delete;

 private:
  friend void dividi_riga(std::string_view linea, RigaFlusso& r);
  template <std::size_t i>
  friend void dividi_campo(const char* linea, RigaFlusso& r);

  // What the split keeps of every field, so that a field whose characters the next line
  // repeats (the lines of a ricetta repeat most) costs a comparison: a text field, where
  // its trimmed characters lie in the line; a converted field (at most 8 characters), its
  // raw bytes and the text of its conversion.
  struct Campo {
    std::uint8_t inizio = 0, lunghezza = 0;
    std::uint64_t grezzo = 0;
    std::string testo;
  };
  bool diviso_ = false;  // a line has been split: what is kept is that line's
  char linea_[lunghezza_letta];
  std::array<Campo, numero_campi> campi_;
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

// Fills `r` from one line.
void dividi_riga(std::string_view linea, RigaFlusso& r);

// The line is a closing row: valnum of progressivo is 99.
bool riga_99(const RigaFlusso& r);

// The conversions, each from the raw characters of its field (they trim themselves).
void converti_data(std::string_view grezzo, std::string& out);
void converti_quantita(std::string_view grezzo, std::string& out);
void converti_ticket(std::string_view grezzo, std::string& out);
void converti_importo(std::string_view grezzo, std::string& out);

}  // namespace flussom

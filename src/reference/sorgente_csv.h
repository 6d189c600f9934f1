// The CSV sources of the table builder, read as a stream: fields separated by commas,
// records by CR LF, LF or CR; a field in double quotes may hold commas, line breaks and
// doubled quotes. Blanks around a field are dropped, and a record whose fields are all empty
// (an empty line, or a spreadsheet's ",,,,") is no record. Only the values of the wanted
// columns are handed out, as views into the text wherever they can be, so reading a source
// costs little beside its text, whatever its shape.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reference/descrittori_tabelle.h"

namespace flussom {

// A fault found in a source: the line (0 when the whole file is at fault) and the reason,
// Windows-1252.
struct Rifiuto {
  std::size_t riga = 0;
  std::string motivo;
};

// A source value quoted in a message (messages are Windows-1252).
std::string citato(std::string_view utf8);

// One row of a source: the line on which it begins and the values of the wanted columns,
// in the order they were asked for (empty for an optional column the header lacks). The
// values stay valid until the next row is read.
struct RigaSorgente {
  std::size_t riga = 0;
  std::vector<std::string_view> valori;
};

class SorgenteCsv {
 public:
  // Reads the whole source once before any row is handed out and answers with its first
  // fault in this order: a field badly quoted anywhere; no header; a column named twice in
  // the header (case ignored), then a wanted column missing; a row whose number of fields
  // is not the header's. A source of 4 GB or more is refused. `testo` must outlive the
  // reader.
  bool apri(std::string_view testo, std::span<const Colonna> colonne, Rifiuto& errore);

  std::size_t righe() const { return righe_; }  // rows below the header

  // The next row, in file order; false after the last.
  bool prossima(RigaSorgente& riga);

 private:
  class Lettore;
  bool intestazione(Lettore& lettore, std::span<const Colonna> colonne,
                    std::optional<Rifiuto>& guasto, Rifiuto& errore);

  std::string_view testo_;
  std::size_t campi_ = 0;            // fields of the header
  std::size_t righe_ = 0;
  std::vector<std::size_t> indici_;  // position of each wanted column in a record, or npos
  std::size_t posizione_ = 0, riga_ = 0;  // where reading goes on
  std::vector<std::string> spazio_;  // values whose doubled quotes had to be undone
};

// The first of the keys numbered 0 to n-1, in number order, that an earlier key equals, and
// the first key it equals: what a check of every key against those before it meets first.
struct Ripetizione {
  std::uint32_t prima, ripetuta;
};

// Sorts `ordine` (the numbers 0 to n-1) by key, equal keys in number order, and finds the
// first repetition on the sorted keys. `chiave(n)` gives key n as a string_view.
template <class Chiave>
std::optional<Ripetizione> ordina_per_chiave(std::vector<std::uint32_t>& ordine, Chiave chiave) {
  std::sort(ordine.begin(), ordine.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = chiave(a).compare(chiave(b));
    return c < 0 || (c == 0 && a < b);
  });
  std::optional<Ripetizione> trovata;
  std::size_t gruppo = 0;  // where the run of equal keys began
  for (std::size_t p = 1; p < ordine.size(); ++p) {
    if (chiave(ordine[p]) != chiave(ordine[gruppo])) {
      gruppo = p;
    } else if (p == gruppo + 1 && (!trovata || ordine[p] < trovata->ripetuta)) {
      trovata = Ripetizione{ordine[gruppo], ordine[p]};
    }
  }
  return trovata;
}

}  // namespace flussom

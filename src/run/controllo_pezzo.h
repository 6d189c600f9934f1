// A piece of the data file checked on its own, as if the file began with it: the line
// before it a closing row, no error block open, no line and no number before it. What the
// piece writes to the report, adds to the totals and to the index of numbers is kept, for
// the run to take in, in the file's order, once the pieces before it are done. The run
// takes a piece in only when what the piece assumed holds (see RigaPezzo and EsitoPezzo);
// otherwise it checks the piece again, line by line, from where the file really stands.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/indice_ricette.h"
#include "model/riga_report.h"
#include "model/strutture.h"
#include "model/totali.h"
#include "reference/tabelle.h"
#include "rules/stato_run.h"

namespace flussom {

// A line the piece wrote to the report, with its texts; line numbers and a block's number
// counted from the start of the piece.
struct RigaPezzo {
  RigaReport info;
  std::string testo, ricetta;
};

// Prescription numbers in a row, in one text.
class ElencoNumeri {
 public:
  void aggiungi(std::string_view numero) {
    testo_.append(numero);
    fine_.push_back(testo_.size());
  }
  std::size_t size() const { return fine_.size(); }
  std::string_view operator[](std::size_t i) const {
    const std::size_t da = i == 0 ? 0 : fine_[i - 1];
    return std::string_view(testo_).substr(da, fine_[i] - da);
  }

 private:
  std::string testo_;
  std::vector<std::size_t> fine_;
};

struct EsitoPezzo {
  // The piece holds something only the whole run can judge: a line of the wrong length, a
  // facility that is not the first line's or not registered, or the run was stopped.
  bool da_rifare = false;
  std::string codice_struttura;  // of every line, as written in the line (trimmed)
  std::string primo_numero;      // the prescription number of the first line
  std::int64_t righe = 0, ricette = 0, blocchi = 0;
  bool errori = false;  // an error was written
  // The ricetta after the last line: nprest 0 when that line was a closing row.
  std::int64_t nprest = 0;
  std::string ric_corrente;
  bool err_ricetta = false;
  std::int64_t riga_inizio = 0;
  bool ric_aperta = false;
  std::vector<RigaPezzo> report;
  AddendiTotali addendi;
  // The numbers of the first lines of its ricette, which the whole file must not hold
  // before the piece, and the numbers of its lines (each once where lines repeat it).
  ElencoNumeri cercati, aggiunti;
};

// A piece may be taken in where the run stands (`s` after the line before the piece,
// `precedenti` the numbers of every line before it) when the line before ended a ricetta
// whose error block does not go on in the piece, and none of the piece's ricette begins with
// a number met before it. (Its facility, registered, is the caller's to see.)
bool pezzo_valido(const StatoRun& s, const IndiceRicette& precedenti, const EsitoPezzo& e);

// Takes a valid piece in, as if its lines had been checked here: the error block left open
// before it closed on the line before it, its report lines with their lines and blocks
// renumbered, its counters and sums, its numbers, and the ricetta as its last line left it.
void prendi_pezzo(StatoRun& s, IndiceRicette& precedenti, const EsitoPezzo& e);

class ControlloPezzo {
 public:
  // `tabelle`: used by this checker alone, from one thread at a time. The facilities are a
  // copy of the checker's own: a lookup remembers what it found.
  ControlloPezzo(Tabelle& tabelle, TabellaStrutture strutture, int anno_corrente,
                 const std::atomic<bool>* interrompi)
      : tabelle_(tabelle), strutture_(std::move(strutture)), anno_corrente_(anno_corrente), interrompi_(interrompi) {}

  // Checks the lines of `pezzo` into `esito` (whatever it held is replaced).
  void controlla(std::string_view pezzo, EsitoPezzo& esito);

 private:
  Tabelle& tabelle_;
  TabellaStrutture strutture_;
  int anno_corrente_;
  const std::atomic<bool>* interrompi_;
};

}  // namespace flussom

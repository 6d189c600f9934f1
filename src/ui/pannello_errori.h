// The error browser beside the status box: the numbered blocks of the last run's report, with
// their count and a search by prescription number, and for the chosen block its messages and
// the lines of its ricetta, each split into the named fields of the line layout, with the
// fields and lines that the messages concern marked. Its messages can be exported as a CSV.
#pragma once

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "run/raccolta_report.h"
#include "ui/righe_file.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace flussom {

class ScrittoreErroriCsv;

class PannelloErrori : public QWidget {
  Q_OBJECT

 public:
  explicit PannelloErrori(QWidget* parent = nullptr);

  // The blocks of a run's report, in its order, the messages that no block closed, and the
  // data file whose lines they concern, with its identity when the run began: a block shows
  // lines only from that same file.
  void mostra(std::vector<BloccoReport> blocchi, std::vector<MessaggioReport> fuori_blocco,
              std::filesystem::path file, std::optional<IdentitaFile> identita);
  void svuota();

  // The block at `indice` of the list, with its messages and lines.
  void scegli_blocco(int indice);
  // Selects the line `riga` (1-based in the data file) of the block on show.
  void vai_alla_riga(std::int64_t riga);
  // The selected line's characters, all of them as the file holds them, to the clipboard.
  void copia_riga();
  // The first block whose prescription number holds the text of the search box, or with
  // `successiva` the next one after the block on show (from the top again at the end).
  void cerca(bool successiva);
  // Every block's messages, in the report's order, to `csv`.
  void esporta(ScrittoreErroriCsv& csv) const;

 signals:
  // "Esporta errori...": the window asks where and writes.
  void esportazione_chiesta();

 private:
  void crea_controlli();
  void disponi();
  // The columns of the blocks wide enough for the largest number and the longest ricetta,
  // also when they are far below the rows on show.
  void adatta_colonne();
  void riempi_messaggi(const BloccoReport& b);
  void riempi_righe(const BloccoReport& b);
  QTreeWidgetItem* voce_riga(std::int64_t numero, const RigaLetta& riga, std::uint32_t campi,
                             bool segnata);
  // The line item selected, or the one whose field is selected.
  QTreeWidgetItem* riga_scelta() const;

  std::vector<BloccoReport> blocchi_;
  RigheFile righe_file_;  // the data file, its lines read again when a block is shown

  QLabel* Titolo_blocchi_;
  QLineEdit* Cerca_;
  QLabel* Non_trovata_;
  QTreeWidget* Blocchi_;
  QListWidget* Messaggi_;
  QTreeWidget* Righe_;
  QPushButton* Copia_riga_;
  QPushButton* Esporta_;
};

}  // namespace flussom

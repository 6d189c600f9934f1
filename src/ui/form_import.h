// The main window: the operator picks a data file with the drive, folder and file lists,
// starts its check, follows the progress and the outcome, and opens the error report. The
// check runs on a thread of its own (RunInSottofondo), so the window stays responsive; the
// window follows the run's events on its own thread and decides from them what its widgets
// show. "Interrompi" stops a run under way.
#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <string>

#include "base/file_sicuro.h"
#include "base/orologio.h"
#include "run/eventi_run.h"
#include "run/raccolta_report.h"
#include "ui/run_in_sottofondo.h"

class QComboBox;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSplitter;

namespace flussom {

class PannelloErrori;

// The window title names the check and the month of this release; messages carry the
// application's title.
inline constexpr const char* titolo_finestra =
    "Controllo dati Flusso M - Specialistica ambulatoriale - rilascio Dicembre 2026";
inline constexpr const char* titolo_applicazione = "Controllo Flusso M";

class Form_import : public QWidget, public EventiRun {
  Q_OBJECT

 public:
  // `cartella` is the application folder: tables, report, and where the lists start.
  Form_import(std::filesystem::path cartella, const Orologio& orologio, QWidget* parent = nullptr);

  const std::filesystem::path& percorso_file() const { return percorso_file_; }

  // The window's events.
  void cambia_drive(int indice);
  void cambia_cartella(const QString& cartella);
  void scegli_file(const QString& nome);
  void controlla_file();
  void interrompi();
  void visualizza_errori();
  // "Esporta errori...": the browser's messages as a CSV for Excel, in a file the operator
  // names (never one of the run's own files).
  void esporta_errori();
  // A data file dropped on the window, or named otherwise: its drive, folder and file are
  // chosen in the lists as though the operator had clicked them.
  void scegli_percorso(const QString& percorso);
  // F5: the lists read the folder again. The file list follows the folder by itself too.
  void aggiorna_liste();

  // The run's events.
  void struttura_trovata(std::string_view nome) override { mostra_struttura(nome); }
  bool domanda(std::string_view testo) override;
  EsitoRegistrazione registrazione_richiesta(std::string_view codstru) override;
  void report_azzerato() override;
  void lettura_iniziata() override { puntatore_occupato(true); }
  void intervallo_progresso(std::int64_t minimo, std::int64_t massimo) override;
  void progresso(std::int64_t valore) override;
  void lettura_finita() override { puntatore_occupato(false); }
  void riga_stato(std::string_view riga) override;
  void messaggio(std::string_view testo) override;
  void avviso(std::string_view testo) override;
  void run_finito(const RisultatoRun& risultato) override;

 signals:
  // "Fine Procedura" in the registration window: the window has closed and the program ends.
  void programma_terminato();

 protected:
  void dragEnterEvent(QDragEnterEvent* evento) override;
  void dropEvent(QDropEvent* evento) override;
  bool eventFilter(QObject* oggetto, QEvent* evento) override;
  // Closing during a run interrupts it and waits for its end.
  void closeEvent(QCloseEvent* evento) override;

 private:
  void crea_controlli();
  void disponi();
  void collega();
  void riempi_drive(const QString& applicazione);
  void riempi_cartelle();
  void riempi_file(const QStringList& file);
  // The data files as the folder holds them now; the chosen file stays chosen, and a list
  // that has not changed stays as it is (its scrolling, its current row).
  void aggiorna_file();
  void dimentica_file();
  void azzera_barra();
  void mostra_stato();
  // A run starts or has ended: the buttons and lists that a run may use or not.
  void run_in_corso(bool in_corso);
  // The errors of the last run no longer stand: no report to view, nothing to browse.
  void errori_superati();
  // The report that the last run wrote is still in its place as that run left it: no other
  // check (from the command line, another window) has replaced or removed it since.
  bool report_intatto() const;
  // A message box with OK, under the application's title.
  void avviso(const QString& testo);
  void mostra_struttura(std::string_view nome);
  // The busy pointer (hourglass) while the run reads the file, then the normal pointer.
  void puntatore_occupato(bool occupato);

  std::filesystem::path cartella_;
  const Orologio& orologio_;
  std::filesystem::path percorso_file_;
  QString cartella_corrente_;
  QHash<QString, QString> cartella_per_drive_;  // the folder last shown on each drive
  int drive_corrente_ = -1;

  QStringList righe_nuove_;           // lines appended by the run, not yet in the status box
  bool stato_in_arrivo_ = false;      // they reach the box at the next turn of the event loop
  std::string motivo_;                // the last message or status line of the run under way
  // The report of the run under way, block by block: the run's thread fills it until the
  // run's end has been told.
  RaccoltaReport raccolta_;
  bool report_visibile_ = false;      // the last run's report holds errors and still stands
  IdentitaFile identita_report_;      // that report as its run left it
  std::optional<IdentitaFile> identita_dati_;  // the data file when the last run began
  std::string struttura_;             // the facility name on show
  bool occupato_ = false;
  bool editore_aperto_ = false;          // the report's editor is open, its wait under way
  bool editore_in_primo_piano_ = false;  // a click asks the wait to bring it to the front

  QLabel* Label2_;
  QComboBox* Drive1_;
  QListWidget* Dir1_;
  QLabel* Label1_;
  QListWidget* File1_;
  QPlainTextEdit* Text1_;
  QLineEdit* Text2_;
  QPushButton* Comm_controlla_;
  QPushButton* Comm_interrompi_;      // shown only while a run is under way
  QPushButton* Comm_st_;
  QPushButton* Com_fine_;
  QProgressBar* ProgressBar1_;
  QPushButton* Comm_errori_;          // shows and hides the error browser
  PannelloErrori* Pannello_errori_;
  QSplitter* divisore_;
  QFileSystemWatcher* sorveglianza_;  // the folder of the lists: files that appear or go
  RunInSottofondo run_{*this, *this};  // last: the run ends before anything it uses goes
};

}  // namespace flussom

#include "ui/form_import.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QMimeData>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "base/cp1252.h"
#include "base/file_intero.h"
#include "risultati/errori_csv.h"
#include "run/importa.h"
#include "risultati/righe_stato.h"
#include "ui/box_messaggio.h"
#include "ui/esegui_e_attendi.h"
#include "ui/form_dati.h"
#include "ui/lista_file.h"
#include "ui/pannello_errori.h"
#include "ui/percorsi.h"
#include "ui/visualizzatore.h"

namespace flussom {

namespace {

QString da_cp1252(std::string_view s) { return QString::fromStdString(cp1252_a_utf8(s)); }

// Folder paths are compared in Qt's form ("/" separators).
QString forma_qt(const QString& cartella) {
  return QDir::cleanPath(QDir(QDir::fromNativeSeparators(cartella)).absolutePath());
}

bool stesso_inizio(const QString& cartella, const QString& radice) {
#ifdef _WIN32
  return cartella.startsWith(radice, Qt::CaseInsensitive);
#else
  return cartella.startsWith(radice);
#endif
}

// Keeps the normal pointer over a modal box that the run shows while the busy pointer is up.
class PuntatoreNormale {
 public:
  explicit PuntatoreNormale(bool attivo) : attivo_(attivo) {
    if (attivo_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~PuntatoreNormale() {
    if (attivo_) QGuiApplication::restoreOverrideCursor();
  }
  PuntatoreNormale(const PuntatoreNormale&) = delete;
  PuntatoreNormale& operator=(const PuntatoreNormale&) = delete;

 private:
  bool attivo_;
};

// The two text boxes' font: MS Sans Serif, else a sans-serif font that the system has. Left
// to the font matching, a missing family may fall on any font (under Wine without its own
// fonts, a mathematical one whose tall glyph boxes push a line edit's text out of sight).
QFont carattere_caselle() {
  QFont carattere;
  carattere.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                         QStringLiteral("Tahoma"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"),
                         QStringLiteral("Liberation Sans")});
  carattere.setStyleHint(QFont::SansSerif);
  return carattere;
}

}  // namespace

Form_import::Form_import(std::filesystem::path cartella, const Orologio& orologio, QWidget* parent)
    : QWidget(parent), cartella_(std::move(cartella)), orologio_(orologio) {
  // The folder in the platform's own separators, like the names the run joins to it: a path
  // on show never mixes the two kinds (C:/dati\errori.RPT).
  cartella_.make_preferred();
  setObjectName(QStringLiteral("Form_import"));
  setWindowTitle(QString::fromLatin1(titolo_finestra));
  setAcceptDrops(true);
  // Every list shows when it has the keyboard: a frame in the colour of the selection.
  setStyleSheet(QStringLiteral("QListWidget, QTreeWidget { border: 1px solid palette(mid); padding: 1px; }"
                               "QListWidget:focus, QTreeWidget:focus { border: 2px solid palette(highlight); "
                               "padding: 0px; }"));
  crea_controlli();
  disponi();
  collega();

  // Load: the lists at the application folder, its drive in the drive list, the report
  // button disabled. The drive list starts on that drive, so no drive change happens here.
  const QString applicazione = forma_qt(da_percorso(cartella_));
  riempi_drive(applicazione);
  cambia_cartella(applicazione);
  Comm_st_->setEnabled(false);
}

void Form_import::crea_controlli() {
  Label2_ = new QLabel(QStringLiteral("Drive"), this);
  Label2_->setObjectName(QStringLiteral("Label2"));
  Drive1_ = new QComboBox(this);
  Drive1_->setObjectName(QStringLiteral("Drive1"));
  Dir1_ = new QListWidget(this);
  Dir1_->setObjectName(QStringLiteral("Dir1"));
  Label1_ = new QLabel(QStringLiteral("File dati da controllare"), this);
  Label1_->setObjectName(QStringLiteral("Label1"));
  File1_ = new QListWidget(this);
  File1_->setObjectName(QStringLiteral("File1"));
  File1_->installEventFilter(this);
  Text1_ = new QPlainTextEdit(this);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setReadOnly(true);
  // The status box is read, not edited: a click may select its text, Tab passes it by.
  Text1_->setFocusPolicy(Qt::ClickFocus);
  Text2_ = new QLineEdit(this);
  Text2_->setObjectName(QStringLiteral("Text2"));
  Text2_->setReadOnly(true);
  Text2_->setFocusPolicy(Qt::ClickFocus);
  Text1_->setFont(carattere_caselle());
  Text2_->setFont(carattere_caselle());
  const auto pulsante = [this](const char* testo, const char* nome) {
    auto* p = new QPushButton(QString::fromUtf8(testo), this);
    p->setObjectName(QString::fromLatin1(nome));
    p->setAutoDefault(true);  // Enter presses the button that has the focus
    return p;
  };
  Comm_controlla_ = pulsante("Controlla File", "Comm_controlla");
  Comm_interrompi_ = pulsante("Interrompi", "Comm_interrompi");
  Comm_interrompi_->hide();
  Comm_st_ = pulsante("Visualizza e stampa errori", "Comm_st");
  Comm_errori_ = pulsante("&Errori nella finestra", "Comm_errori");
  Comm_errori_->setCheckable(true);
  Comm_errori_->setEnabled(false);
  Com_fine_ = pulsante("Fine", "Com_fine");
  ProgressBar1_ = new QProgressBar(this);
  ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1_->setRange(0, 100);
  ProgressBar1_->setValue(0);
  Pannello_errori_ = new PannelloErrori(this);
  Pannello_errori_->hide();
  sorveglianza_ = new QFileSystemWatcher(this);
}

void Form_import::disponi() {
  auto* liste = new QGridLayout;
  liste->addWidget(Label2_, 0, 0);
  liste->addWidget(Label1_, 0, 1);
  liste->addWidget(Drive1_, 1, 0);
  liste->addWidget(Dir1_, 2, 0);
  liste->addWidget(File1_, 1, 1, 2, 1);
  liste->setColumnStretch(0, 1);
  liste->setColumnStretch(1, 1);
  auto* pulsanti = new QHBoxLayout;
  pulsanti->addWidget(Comm_controlla_);
  pulsanti->addWidget(Comm_interrompi_);
  pulsanti->addWidget(Comm_st_);
  pulsanti->addWidget(Comm_errori_);
  pulsanti->addStretch();
  pulsanti->addWidget(Com_fine_);
  // The status box and, beside it, the error browser when it is open.
  divisore_ = new QSplitter(Qt::Horizontal, this);
  divisore_->addWidget(Text1_);
  divisore_->addWidget(Pannello_errori_);
  divisore_->setChildrenCollapsible(false);
  divisore_->setStretchFactor(0, 1);
  divisore_->setStretchFactor(1, 3);
  auto* tutto = new QVBoxLayout(this);
  tutto->addLayout(liste, 2);
  tutto->addWidget(divisore_, 5);
  tutto->addWidget(Text2_);
  tutto->addLayout(pulsanti);
  tutto->addWidget(ProgressBar1_);
  resize(1000, 720);
  QWidget* const ordine[] = {Drive1_, Dir1_, File1_, Pannello_errori_, Comm_controlla_, Comm_interrompi_,
                             Comm_st_, Comm_errori_, Com_fine_};
  for (std::size_t i = 1; i < std::size(ordine); ++i) setTabOrder(ordine[i - 1], ordine[i]);
}

void Form_import::collega() {
  connect(Drive1_, &QComboBox::currentIndexChanged, this, &Form_import::cambia_drive);
  connect(Dir1_, &QListWidget::itemActivated, this, [this](QListWidgetItem* voce) {
    cambia_cartella(voce->data(Qt::UserRole).toString());
  });
  // A click, or a move of the selection with the keyboard, picks the file.
  connect(File1_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* voce) { scegli_file(voce->text()); });
  connect(File1_, &QListWidget::itemSelectionChanged, this, [this] {
    const QList<QListWidgetItem*> scelte = File1_->selectedItems();
    if (!scelte.isEmpty()) scegli_file(scelte.first()->text());
  });
  connect(Comm_controlla_, &QPushButton::clicked, this, &Form_import::controlla_file);
  connect(Comm_interrompi_, &QPushButton::clicked, this, &Form_import::interrompi);
  connect(Comm_st_, &QPushButton::clicked, this, &Form_import::visualizza_errori);
  connect(Com_fine_, &QPushButton::clicked, this, &QWidget::close);
  connect(Comm_errori_, &QPushButton::toggled, Pannello_errori_, &QWidget::setVisible);
  connect(Pannello_errori_, &PannelloErrori::esportazione_chiesta, this, &Form_import::esporta_errori);
  connect(sorveglianza_, &QFileSystemWatcher::directoryChanged, this, &Form_import::aggiorna_file);
  connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this, &Form_import::aggiorna_liste);
}

// The drives, the one holding `applicazione` chosen.
void Form_import::riempi_drive(const QString& applicazione) {
  {
    const QSignalBlocker blocco(Drive1_);
    int scelto = 0, lunghezza = -1;
    const QFileInfoList drives = QDir::drives();
    for (int i = 0; i < drives.size(); ++i) {
      const QString radice = drives[i].absoluteFilePath();
      Drive1_->addItem(QDir::toNativeSeparators(radice), radice);
      if (stesso_inizio(applicazione, radice) && radice.size() > lunghezza) {
        scelto = i;
        lunghezza = static_cast<int>(radice.size());
      }
    }
    Drive1_->setCurrentIndex(scelto);
    drive_corrente_ = scelto;
  }
}

void Form_import::cambia_drive(int indice) {
  const QString radice = Drive1_->itemData(indice).toString();
  // A drive that cannot be read leaves the lists where they were, without a message.
  QString destinazione = cartella_per_drive_.value(radice, radice);
  if (!QFileInfo(destinazione).isReadable()) destinazione = radice;
  if (radice.isEmpty() || !QFileInfo(destinazione).isDir() || !QFileInfo(destinazione).isReadable()) {
    const QSignalBlocker blocco(Drive1_);
    Drive1_->setCurrentIndex(drive_corrente_);
    return;
  }
  drive_corrente_ = indice;
  cambia_cartella(destinazione);
}

void Form_import::cambia_cartella(const QString& cartella) {
  const QString c = forma_qt(cartella);
  const QFileInfo info(c);
  if (!info.isDir() || !info.isReadable()) return;
  cartella_corrente_ = QDir::toNativeSeparators(c);
  if (!sorveglianza_->directories().isEmpty()) sorveglianza_->removePaths(sorveglianza_->directories());
  sorveglianza_->addPath(c);
  const QString radice = Drive1_->itemData(drive_corrente_).toString();
  if (!radice.isEmpty()) cartella_per_drive_.insert(radice, c);
  riempi_cartelle();
  errori_superati();
  dimentica_file();
  riempi_file(file_dati(c));
}

// The lists show another folder with nothing chosen in it: the window forgets the file
// chosen before, so that no run checks a file that the lists no longer show.
void Form_import::dimentica_file() {
  percorso_file_.clear();
  righe_nuove_.clear();
  Text1_->clear();
  mostra_struttura("");
  azzera_barra();
}

void Form_import::azzera_barra() { ProgressBar1_->setValue(ProgressBar1_->minimum()); }

void Form_import::riempi_cartelle() {
  const QSignalBlocker blocco(Dir1_);
  Dir1_->clear();
  const QStyle* s = style();
  const QString corrente = forma_qt(cartella_corrente_);

  // The path from the root down to the folder, then its subfolders one step further in.
  QStringList catena;
  for (QDir d(corrente);; ) {
    catena.prepend(d.absolutePath());
    if (d.isRoot() || !d.cdUp()) break;
  }
  int livello = 0;
  for (const QString& p : catena) {
    const QString nome = QDir(p).isRoot() ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName();
    auto* voce = new QListWidgetItem(s->standardIcon(QStyle::SP_DirOpenIcon),
                                     QString(2 * livello, QLatin1Char(' ')) + nome, Dir1_);
    voce->setData(Qt::UserRole, p);
    ++livello;
  }
  Dir1_->setCurrentRow(Dir1_->count() - 1);
  const QStringList sotto =
      QDir(corrente).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& n : sotto) {
    auto* voce = new QListWidgetItem(s->standardIcon(QStyle::SP_DirClosedIcon),
                                     QString(2 * livello, QLatin1Char(' ')) + n, Dir1_);
    voce->setData(Qt::UserRole, QDir(corrente).absoluteFilePath(n));
  }
}

void Form_import::riempi_file(const QStringList& file) {
  const QSignalBlocker blocco(File1_);
  File1_->clear();
  File1_->addItems(file);
}

void Form_import::aggiorna_liste() {
  if (!QFileInfo(forma_qt(cartella_corrente_)).isDir()) return;
  riempi_cartelle();
  aggiorna_file();
}

void Form_import::aggiorna_file() {
  const QStringList file = file_dati(forma_qt(cartella_corrente_));
  QStringList mostrati;
  for (int i = 0; i < File1_->count(); ++i) mostrati << File1_->item(i)->text();
  if (file == mostrati) return;
  riempi_file(file);
  const QList<QListWidgetItem*> scelto =
      File1_->findItems(QFileInfo(da_percorso(percorso_file_)).fileName(), Qt::MatchExactly);
  if (percorso_file_.empty() || scelto.isEmpty()) return;
  const QSignalBlocker blocco(File1_);
  File1_->setCurrentItem(scelto.front());
}

void Form_import::scegli_file(const QString& nome) {
  mostra_struttura("");
  // The run opens and closes its own files: nothing stays open between runs.
  errori_superati();
  azzera_barra();
  const QString percorso = unisci_percorso(cartella_corrente_, nome);
  percorso_file_ = a_percorso(percorso);
  const QString testo = QString::fromStdString(riga_apertura(percorso.toStdString()));
  righe_nuove_.clear();
  Text1_->setPlainText(testo);
}

void Form_import::controlla_file() {
  if (run_.in_corso()) return;
  // Without a file there is nothing to check: the report of the last run stays as it is.
  if (percorso_file_.empty()) {
    Text1_->appendPlainText(QStringLiteral("Nessun file scelto: scegliere nell'elenco il file dati da controllare"));
    File1_->setFocus();
    return;
  }
  mostra_struttura("");
  // The data file as the run reads it: the browser shows its lines only while it stays so.
  IdentitaFile dati;
  identita_dati_.reset();
  if (identita_file(percorso_file_, dati)) identita_dati_ = dati;
  // Each run's bar starts empty: until it reads, the bar has nothing to tell of it (the last
  // run's full bar would stand under its question, or under its "NON completato").
  azzera_barra();
  motivo_.clear();
  raccolta_ = RaccoltaReport();
  run_in_corso(true);
  run_.avvia(ParametriRun{percorso_file_, cartella_}, orologio_, raccolta_);
}

void Form_import::interrompi() {
  run_.interrompi();
  Comm_interrompi_->setEnabled(false);
}

// While a run goes on, the lists keep the file it checks and no second run starts; only
// "Interrompi" stops it.
void Form_import::run_in_corso(bool in_corso) {
  const bool focus_qui = focusWidget() == (in_corso ? Comm_controlla_ : Comm_interrompi_);
  for (QWidget* w : {static_cast<QWidget*>(Drive1_), static_cast<QWidget*>(Dir1_),
                     static_cast<QWidget*>(File1_), static_cast<QWidget*>(Comm_controlla_)})
    w->setEnabled(!in_corso);
  Comm_interrompi_->setEnabled(in_corso);
  Comm_interrompi_->setVisible(in_corso);
  if (focus_qui) (in_corso ? Comm_interrompi_ : Comm_controlla_)->setFocus();
}

void Form_import::closeEvent(QCloseEvent* evento) {
  if (run_.in_corso()) {
    run_.chiudi();
    run_in_corso(false);
    puntatore_occupato(false);
  }
  QWidget::closeEvent(evento);
}

// A finished run shows its whole bar; one that stopped says so last, with the reason, so the
// last line on show always belongs to the last run. A report with errors may be viewed.
void Form_import::run_finito(const RisultatoRun& r) {
  run_in_corso(false);
  mostra_stato();
  if (occupato_) puntatore_occupato(false);
  if (r.esito == EsitoRun::programma_terminato) {
    close();
    emit programma_terminato();
    return;
  }
  const bool finito = r.esito == EsitoRun::corretto || r.esito == EsitoRun::con_errori;
  // The bar counts lines of 222 bytes in the file's size: line breaks of two bytes make it
  // longer than the lines it holds.
  if (finito)
    ProgressBar1_->setValue(ProgressBar1_->maximum());
  else
    Text1_->appendPlainText(da_cp1252(riga_non_completato(r.esito, motivo_)));
  if (r.errori_nel_report) {
    report_visibile_ = r.report_scritto.has_value();
    if (report_visibile_) identita_report_ = *r.report_scritto;
    Comm_st_->setEnabled(report_visibile_);
  } else if (report_visibile_ && !report_intatto()) {
    // A run refused before it touched the report (another check holds the folder) leaves
    // the last report viewable only while the other check has not replaced it.
    report_visibile_ = false;
    Comm_st_->setEnabled(false);
  }
  // Every message of the report in the browser: also those of a run that stopped before a
  // block closed them (a first line of the wrong length gives a report without errors to
  // view, yet names the line).
  std::vector<BloccoReport> blocchi = raccolta_.cedi_blocchi();
  std::vector<MessaggioReport> fuori_blocco = raccolta_.fuori_blocco();
  raccolta_ = RaccoltaReport();
  if (!blocchi.empty() || !fuori_blocco.empty()) {
    Pannello_errori_->mostra(std::move(blocchi), std::move(fuori_blocco), percorso_file_, identita_dati_);
    Comm_errori_->setEnabled(true);
    Comm_errori_->setChecked(true);
  }
}

void Form_import::report_azzerato() { errori_superati(); }

void Form_import::errori_superati() {
  report_visibile_ = false;
  Comm_st_->setEnabled(false);
  Comm_errori_->setChecked(false);
  Comm_errori_->setEnabled(false);
  Pannello_errori_->svuota();
}

bool Form_import::report_intatto() const {
  IdentitaFile ora;
  return report_visibile_ && identita_file(ParametriRun{{}, cartella_}.report(), ora) &&
         ora == identita_report_;
}

// Only the report of this window's last run is opened, never one that another check has
// written in its place since. A large report takes seconds to open: the busy pointer
// meanwhile, and no second editor from a second click before the first has started. Once it
// has started, a click brings that editor to the front instead of opening another.
void Form_import::visualizza_errori() {
  if (!report_intatto()) {
    report_visibile_ = false;
    Comm_st_->setEnabled(false);
    avviso(QString::fromUtf8("Il report errori.RPT \xc3\xa8 stato sostituito da un altro "
                             "controllo: ricontrollare il file"));
    return;
  }
  if (editore_aperto_) {
    editore_in_primo_piano_ = true;
    return;
  }
  editore_aperto_ = true;
  // Disabled, the button hands the focus on to the next one; once the editor is up the focus
  // comes back to it (unless the operator has moved it meanwhile), so that the window, active
  // again when the editor closes, has it there and not on the browser's button.
  const bool aveva_focus = focusWidget() == Comm_st_;
  Comm_st_->setEnabled(false);
  QWidget* const spostato = focusWidget();
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  bool in_attesa = true;
  const auto avviato = [this, &in_attesa, aveva_focus, spostato] {
    if (!in_attesa) return;
    in_attesa = false;
    QGuiApplication::restoreOverrideCursor();
    Comm_st_->setEnabled(report_visibile_);
    if (aveva_focus && report_visibile_ && focusWidget() == spostato) Comm_st_->setFocus();
  };
  esegui_e_attendi(comando_visualizza_report(cartella_), stile_ingrandita, avviato, &editore_in_primo_piano_);
  editore_aperto_ = false;
  avviato();
}

// The same bytes as `flussom controlla --errori-csv` for the same run, written whole or not
// at all.
void Form_import::esporta_errori() {
  const QFileInfo dati(da_percorso(percorso_file_));
  const QString proposto = dati.dir().filePath(dati.completeBaseName() + QStringLiteral("_errori.csv"));
  const QString scelto =
      QFileDialog::getSaveFileName(this, QStringLiteral("Esporta errori"), proposto, QStringLiteral("CSV (*.csv)"));
  if (scelto.isEmpty()) return;
  const std::filesystem::path destinazione = a_percorso(scelto);
  std::string motivo = destinazione_rifiutata(destinazione, file_protetti(ParametriRun{percorso_file_, cartella_}));
  FileIntero file;
  if (motivo.empty() && file.apri(destinazione, motivo)) {
    ScrittoreErroriCsv csv([&file](std::string_view t) { return file.scrivi(t); });
    Pannello_errori_->esporta(csv);
    csv.concludi();
    if (file.completa(motivo)) return;
  }
  avviso(QStringLiteral("Impossibile scrivere ") + QDir::toNativeSeparators(scelto) + QStringLiteral(" : ") +
         da_cp1252(motivo));
}

void Form_import::scegli_percorso(const QString& percorso) {
  const QFileInfo info(percorso);
  if (!info.isFile() || run_.in_corso()) return;
  const QString cartella = forma_qt(info.absolutePath());
  for (int i = 0; i < Drive1_->count(); ++i) {
    if (!stesso_inizio(cartella, Drive1_->itemData(i).toString()) || i == drive_corrente_) continue;
    const QSignalBlocker blocco(Drive1_);
    Drive1_->setCurrentIndex(i);
    drive_corrente_ = i;
  }
  cambia_cartella(cartella);
  const QList<QListWidgetItem*> voci = File1_->findItems(info.fileName(), Qt::MatchExactly);
  if (voci.isEmpty()) {
    scegli_file(info.fileName());
  } else {
    File1_->setCurrentItem(voci.front());
    File1_->scrollToItem(voci.front());
  }
}

namespace {

// The one local file that a drag brings, or an empty text.
QString file_trascinato(const QMimeData* dati) {
  if (!dati || !dati->hasUrls() || dati->urls().size() != 1) return {};
  const QString file = dati->urls().front().toLocalFile();
  return QFileInfo(file).isFile() ? file : QString();
}

}  // namespace

void Form_import::dragEnterEvent(QDragEnterEvent* evento) {
  if (!file_trascinato(evento->mimeData()).isEmpty()) evento->acceptProposedAction();
}

void Form_import::dropEvent(QDropEvent* evento) {
  const QString file = file_trascinato(evento->mimeData());
  if (file.isEmpty()) return;
  evento->acceptProposedAction();
  scegli_percorso(file);
}

// In the file list, the first Down picks the first file: the list's current row, set when
// it takes the focus, is not yet a choice.
bool Form_import::eventFilter(QObject* oggetto, QEvent* evento) {
  if (oggetto == File1_ && evento->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Down && File1_->selectedItems().isEmpty() &&
      File1_->count() > 0) {
    File1_->setCurrentRow(0);
    return true;
  }
  return QWidget::eventFilter(oggetto, evento);
}

// The run may append a line for every line of a long file: the lines that arrive together
// reach the box together, at the next turn of the event loop.
void Form_import::riga_stato(std::string_view riga) {
  motivo_ = riga;
  avviso(riga);
}

// A table missing or unusable: said in the status box, before the run's verdict.
void Form_import::avviso(std::string_view testo) {
  righe_nuove_.append(da_cp1252(testo));
  if (stato_in_arrivo_) return;
  stato_in_arrivo_ = true;
  QTimer::singleShot(0, this, &Form_import::mostra_stato);
}

void Form_import::mostra_stato() {
  stato_in_arrivo_ = false;
  if (righe_nuove_.isEmpty()) return;
  const QString nuove = righe_nuove_.join(QLatin1Char('\n'));
  righe_nuove_.clear();
  if (Text1_->document()->isEmpty())
    Text1_->setPlainText(QStringLiteral("\n") + nuove);  // the status began with a line break
  else
    Text1_->appendPlainText(nuove);
}

void Form_import::mostra_struttura(std::string_view nome) {
  // The run sets the name once per line: touch the box only when it changes.
  if (nome == struttura_) return;
  struttura_ = nome;
  Text2_->setText(da_cp1252(nome));
}

void Form_import::intervallo_progresso(std::int64_t minimo, std::int64_t massimo) {
  // A bar needs a maximum above its minimum (an empty file gives 0 and 0): keep the old range.
  if (massimo <= minimo) return;
  constexpr std::int64_t limite = std::numeric_limits<int>::max();
  ProgressBar1_->setRange(static_cast<int>(std::clamp<std::int64_t>(minimo, 0, limite)),
                          static_cast<int>(std::clamp<std::int64_t>(massimo, 0, limite)));
}

void Form_import::progresso(std::int64_t valore) {
  if (valore < ProgressBar1_->minimum() || valore > ProgressBar1_->maximum()) return;
  ProgressBar1_->setValue(static_cast<int>(valore));
}

void Form_import::puntatore_occupato(bool occupato) {
  if (occupato == occupato_) return;
  occupato_ = occupato;
  if (occupato)
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);  // busy, yet the window answers
  else
    QGuiApplication::restoreOverrideCursor();
}

bool Form_import::domanda(std::string_view testo) {
  mostra_stato();
  const PuntatoreNormale normale(occupato_);
  QMessageBox box(QMessageBox::Question, titolo_vuoto, da_cp1252(testo),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.button(QMessageBox::Yes)->setText(QString::fromUtf8("&S\xc3\xac"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
  box.setDefaultButton(QMessageBox::Yes);
  return esegui_box(box) == QMessageBox::Yes;
}

void Form_import::messaggio(std::string_view testo) {
  mostra_stato();
  motivo_ = testo;
  avviso(da_cp1252(testo));
}

void Form_import::avviso(const QString& testo) {
  const PuntatoreNormale normale(occupato_);
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(titolo_applicazione), testo,
                  QMessageBox::Ok, this);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  esegui_box(box);
}

EsitoRegistrazione Form_import::registrazione_richiesta(std::string_view codstru) {
  mostra_stato();
  const PuntatoreNormale normale(occupato_);
  Form_dati finestra(cartella_, codstru, this);
  return finestra.exec() == Form_dati::fine_procedura ? EsitoRegistrazione::fine_programma
                                                      : EsitoRegistrazione::chiusa;
}

}  // namespace flussom

#include "ui/form_import.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTreeWidget>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>

#include "base/cp1252.h"
#include "base/file_sicuro.h"
#include "run/importa.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"
#include "ui/box_messaggio.h"
#include "ui/form_dati.h"
#include "ui/percorsi.h"
#include "ui/prova_modali.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::BoxVisto;
using prova::CartellaTemporanea;
using prova::RisposteModali;

const std::string record_ambulatorio = "\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n";

// A data-file line: facility code, prescription number and row number in their columns.
std::string riga(std::string_view struttura, std::string_view ricetta, std::string_view progressivo) {
  std::string r(222, ' ');
  return r.replace(6, 6, struttura).replace(122, 16, ricetta).replace(138, 2, progressivo) + "\r\n";
}

QString da_cp1252(const std::string& s) { return QString::fromStdString(cp1252_a_utf8(s)); }

// The message boxes in a form that a failed comparison prints readably.
std::string descrivi(const std::vector<BoxVisto>& box) {
  QString d;
  for (const BoxVisto& b : box)
    d += QStringLiteral("%1|%2|%3|%4|%5\n").arg(b.titolo, b.testo).arg(b.icona).arg(b.pulsanti.toInt())
             .arg(b.etichette.join(','));
  return d.toStdString();
}

#ifndef _WIN32
// A stand-in editor, alone in PATH while it lives, that writes down the arguments of each
// start after a moment's wait.
class EditorFinto {
 public:
  EditorFinto() : path_(qgetenv("PATH")) {
    const char* script = "#!/bin/sh\n/bin/sleep 0.3\nprintf '%s\\n' \"$@\" >> \"$0.arg\"\n";
    fs::permissions(bin_.scrivi("gedit", script), fs::perms::owner_all);
    qputenv("PATH", QFile::encodeName(da_percorso(bin_.percorso())));
  }
  ~EditorFinto() { qputenv("PATH", path_); }
  EditorFinto(const EditorFinto&) = delete;
  EditorFinto& operator=(const EditorFinto&) = delete;

  // The arguments of its last start, then forgotten; empty when it has not started.
  std::string argomenti() {
    std::string a = bin_.leggi("gedit.arg");
    fs::remove(bin_ / "gedit.arg");
    return a;
  }

 private:
  CartellaTemporanea bin_;
  QByteArray path_;
};
#endif

class FormImportTest : public ::testing::Test {
 protected:
  void apri() {
    // The folder with "/" separators, as Qt gives it: the window shows it in the platform's.
    finestra_ = std::make_unique<Form_import>(fs::path(app_.percorso().generic_u8string()), orologio_);
    finestra_->show();
    finestra_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(finestra_.get()));
  }
  template <class T = QWidget>
  T* controllo(const char* nome) { return finestra_->findChild<T*>(nome); }
  bool stampa() { return controllo("Comm_st")->isEnabled(); }
  QString stato() { return controllo<QPlainTextEdit>("Text1")->toPlainText(); }
  QStringList righe() { return stato().split('\n'); }
  QString struttura() { return controllo<QLineEdit>("Text2")->text(); }
  QString cartella() { return QDir::toNativeSeparators(da_percorso(app_.percorso())); }
  QStringList voci(const char* lista) {
    QStringList v;
    for (auto* l = controllo<QListWidget>(lista); v.size() < l->count();)
      v << l->item(v.size())->text().trimmed();
    return v;
  }
  void clic_file(const QString& nome) {
    auto* l = controllo<QListWidget>("File1");
    const auto trovati = l->findItems(nome, Qt::MatchExactly);
    ASSERT_EQ(trovati.size(), 1) << nome.toStdString();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(trovati[0]).center());
  }
  // Starts a check and waits for its end: "Interrompi" is on show while the run goes on.
  void controlla(RisposteModali& risposte) {
    controllo<QPushButton>("Comm_controlla")->click();
    QTRY_VERIFY_WITH_TIMEOUT(controllo("Comm_interrompi")->isHidden(), 60000);
    EXPECT_EQ(risposte.restanti(), 0u) << "modal windows that did not appear";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
  // The status lines that the command line prints for `file`, by default the chosen one,
  // given `opzioni` besides the folder.
  QStringList riga_di_comando(fs::path file = {}, const QStringList& opzioni = {}) {
    if (file.empty()) file = finestra_->percorso_file();
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    const QStringList argomenti =
        QStringList{"controlla", "--cartella", da_percorso(app_.percorso())} + opzioni << da_percorso(file);
    p.start(QStringLiteral(FLUSSOM_BIN), argomenti);
    bool finito = p.waitForFinished(60000);
    // Under Wine on a loaded machine a start now and then fails before the program runs:
    // that is tried once more; a program that does not end in time is not.
    if (!finito && p.error() != QProcess::Timedout) {
      std::fprintf(stderr, "riprovo: %s\n", qPrintable(p.errorString()));
      p.start(QStringLiteral(FLUSSOM_BIN), argomenti);
      finito = p.waitForFinished(60000);
    }
    EXPECT_TRUE(finito) << p.errorString().toStdString();
    QStringList righe = QString::fromUtf8(p.readAllStandardOutput()).remove('\r').split('\n');
    righe.removeLast();
    return righe;
  }

  // The sample tables, and the sample data files in a folder named with an accent, the euro
  // sign and a blank, shown in the lists: esempi_[0] correct, esempi_[1] with errors.
  void esempi() {
    const fs::path sorgenti = FLUSSOM_SORGENTI;
    QProcess tabelle;
    tabelle.start(QStringLiteral(FLUSSOM_BIN), {"tabelle", "costruisci", da_percorso(sorgenti / "tabelle"),
                                                da_percorso(app_.percorso())});
    ASSERT_TRUE(tabelle.waitForFinished(60000));
    ASSERT_EQ(tabelle.exitCode(), 0) << tabelle.readAllStandardError().toStdString();
    dati_ = app_.percorso() / fs::path(u8"citt\u00e0 \u20ac x");
    fs::create_directory(dati_);
    for (const auto& f : fs::directory_iterator(sorgenti / "esempi"))
      fs::copy(f.path(), f.path().extension() == ".DAT" ? app_.percorso() : dati_);
    apri();
    finestra_->cambia_cartella(da_percorso(dati_));
    esempi_ = voci("File1");
    ASSERT_EQ(esempi_.size(), 2);
  }

  CartellaTemporanea app_;
  fs::path dati_;
  QStringList esempi_;
  OrologioFisso orologio_{std::chrono::year{2026} / 12 / 6};
  std::unique_ptr<Form_import> finestra_;
};

TEST_F(FormImportTest, FilesAreChosenByKeyboardClickAndDropAndFoldersCanBeWalked) {
  for (const char* f : {"a.txt", "B.TXT", "senza", "x.dat", "y.txt.bak", "rpt.RPT"}) app_.scrivi(f, "");
#ifndef _WIN32
  fs::permissions(app_.scrivi("programma", ""), fs::perms::others_exec, fs::perm_options::add);
#endif
  fs::create_directory(app_ / "sotto");
  // 120 lines with CR LF: more than their size counts in lines of 222 bytes.
  std::string righe_crlf;
  for (int i = 0; i < 120; ++i) righe_crlf += riga("123456", "0000000000000001", "99");
  const fs::path lontano = app_.scrivi("sotto/AMB09.txt", righe_crlf);
  app_.scrivi("strutture.DAT", record_ambulatorio);
  app_.scrivi("errori.RPT", "vecchio");
  apri();
  // The operators' own words on the labels and buttons.
  for (auto [nome, testo] : {std::pair{"Label2", "Drive"}, {"Label1", "File dati da controllare"},
                             {"Comm_controlla", "Controlla File"},
                             {"Comm_st", "Visualizza e stampa errori"}, {"Com_fine", "Fine"}})
    EXPECT_EQ(controllo(nome)->property("text").toString(), testo) << nome;
  EXPECT_EQ(stato(), "");
  EXPECT_FALSE(stampa());
  EXPECT_EQ(voci("File1"), QStringList({"a.txt", "B.TXT", "senza"}));
  const QString radice = QDir::toNativeSeparators(QDir::rootPath());
  EXPECT_EQ(controllo<QComboBox>("Drive1")->currentText(), radice);
  // The way down from the root to the folder, which is selected, then its subfolders.
  auto* dir1 = controllo<QListWidget>("Dir1");
  EXPECT_EQ(voci("Dir1").front(), radice);
  EXPECT_EQ(voci("Dir1").back(), "sotto");
  EXPECT_EQ(dir1->currentItem()->text().trimmed(), da_percorso(app_.percorso().filename()));

  // Without a file chosen nothing is checked and the last report stays.
  RisposteModali nessuna;
  controlla(nessuna);
  EXPECT_EQ(app_.leggi("errori.RPT"), "vecchio");
  EXPECT_EQ(righe().back(), "Nessun file scelto: scegliere nell'elenco il file dati da controllare");
  auto* file1 = controllo<QListWidget>("File1");
  ASSERT_EQ(QApplication::focusWidget(), file1);
  // Tab passes the read-only boxes by; the first Down picks the first file, a click another.
  QTest::keyClick(file1, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), controllo("Comm_controlla"));
  file1->setFocus();
  QTest::keyClick(file1, Qt::Key_Down);
  const QString percorso = cartella() + QDir::separator();
  EXPECT_EQ(stato(), "Apertura File : " + percorso + "a.txt");
  clic_file("B.TXT");
  EXPECT_EQ(stato(), "Apertura File : " + percorso + "B.TXT");
  // A file dropped from the file manager: its folder in the lists, the file chosen there.
  QMimeData dati;
  dati.setUrls({QUrl::fromLocalFile(da_percorso(lontano))});
  QDragEnterEvent entrata(QPoint(10, 10), Qt::CopyAction, &dati, Qt::LeftButton, {});
  QApplication::sendEvent(finestra_.get(), &entrata);
  EXPECT_TRUE(entrata.isAccepted());
  QDropEvent rilascio(QPointF(10, 10), Qt::CopyAction, &dati, Qt::LeftButton, {});
  QApplication::sendEvent(finestra_.get(), &rilascio);
  EXPECT_EQ(voci("File1"), QStringList{"AMB09.txt"});
  EXPECT_EQ(file1->currentItem()->text(), "AMB09.txt");
  // A run to the end fills its bar.
  controlla(nessuna);
  EXPECT_EQ(righe().back(), "Il file contiene ERRORI rilevanti");
  auto* barra = controllo<QProgressBar>("ProgressBar1");
  EXPECT_EQ(barra->value(), barra->maximum());
  EXPECT_GT(barra->maximum(), 120);
  EXPECT_TRUE(stampa());

  // Up to the application folder and down again; another folder puts the report away and
  // forgets the file, which the lists no longer show: nothing is checked then.
  dir1->setCurrentRow(dir1->count() - 2);
  QTest::keyClick(dir1, Qt::Key_Return);
  EXPECT_FALSE(stampa());
  EXPECT_EQ(stato() + struttura() + QString::number(barra->value()), "0");
  controlla(nessuna);
  EXPECT_EQ(stato(), "Nessun file scelto: scegliere nell'elenco il file dati da controllare");
  EXPECT_EQ(voci("File1"), QStringList({"a.txt", "B.TXT", "senza"}));
  dir1->setCurrentRow(dir1->count() - 1);
  QTest::keyClick(dir1, Qt::Key_Return);
  EXPECT_EQ(voci("File1"), QStringList{"AMB09.txt"});
  finestra_->cambia_cartella(da_percorso(app_ / "sparita"));
  EXPECT_EQ(voci("File1"), QStringList{"AMB09.txt"});
  controllo<QPushButton>("Com_fine")->click();
  EXPECT_FALSE(finestra_->isVisible());
}

// The file list follows the folder: a data file that appears or goes shows so at once, the
// chosen one stays chosen. F5 reads the subfolders again too.
TEST_F(FormImportTest, TheListsFollowTheFolderAndF5ReadsItAgain) {
  app_.scrivi("a.txt", "");
  apri();
  clic_file("a.txt");
  app_.scrivi("b.txt", "");
  QTRY_COMPARE(voci("File1"), QStringList({"a.txt", "b.txt"}));
  fs::remove(app_ / "b.txt");
  app_.scrivi("c", "");
  QTRY_COMPARE(voci("File1"), QStringList({"a.txt", "c"}));
  const QListWidgetItem* scelto = controllo<QListWidget>("File1")->currentItem();
  ASSERT_TRUE(scelto && scelto->text() == "a.txt" && scelto->isSelected());
  EXPECT_EQ(stato(), "Apertura File : " + cartella() + QDir::separator() + "a.txt");
  fs::create_directory(app_ / "nuova");
  QTest::keyClick(finestra_.get(), Qt::Key_F5);
  EXPECT_EQ(voci("Dir1").back(), "nuova");
}

TEST_F(FormImportTest, SampleFilesGiveTheCommandLinesResultsAndTheReportOpens) {
  ASSERT_NO_FATAL_FAILURE(esempi());
  const QStringList& file = esempi_;
  RisposteModali nessuna;
  for (bool errori : {false, true}) {
    clic_file(file[errori]);
    // The command line first: a report that it wrote after the window's would not be opened.
    const QStringList attese = riga_di_comando();
    controlla(nessuna);
    EXPECT_EQ(righe(), attese);
    EXPECT_EQ(stampa(), errori);
  }
  EXPECT_EQ(struttura(), "POLIAMBULATORIO ESEMPIO");
  const bool windows = QGuiApplication::platformName() == QLatin1String("windows");
  const QString immagine = QStringLiteral(FLUSSOM_UI_ARTEFATTI "/finestra_%1dopo_errori.png")
                               .arg(windows ? "windows_" : "");
  // With a real window system, what the screen shows; otherwise the widget's own drawing.
  QTest::qWait(200);
  const QPixmap foto = windows ? finestra_->screen()->grabWindow(finestra_->winId()) : finestra_->grab();
  EXPECT_TRUE(foto.save(immagine)) << immagine.toStdString();
  // The facility box shows its name: some pixel of its left half differs from its right end.
  const QImage casella = controllo("Text2")->grab().toImage();
  bool scritta = false;
  for (int x = 4; x < casella.width() / 2; ++x)
    for (int y = 4; y < casella.height() - 4; ++y)
      scritta |= casella.pixel(x, y) != casella.pixel(casella.width() - 5, y);
  EXPECT_TRUE(scritta);

#ifndef _WIN32
  // Enter on the button opens the editor; until it has started, the busy pointer is up and
  // the button disabled. Another press while it is open opens no other.
  EditorFinto editor;
  const auto stato_pulsante = [&] {
    const QCursor* c = QGuiApplication::overrideCursor();
    return QStringLiteral("%1 %2").arg(stampa()).arg(c ? c->shape() : -1);
  };
  QString durante;
  QTimer::singleShot(100, [&] { durante = stato_pulsante(); });
  QTimer::singleShot(150, [&] { finestra_->visualizza_errori(); });
  controllo("Comm_st")->setFocus();
  QTest::keyClick(controllo("Comm_st"), Qt::Key_Return);
  EXPECT_EQ(editor.argomenti(),
            "--standalone\n--encoding=WINDOWS-1252\n" + (app_ / "errori.RPT").string() + "\n");
  EXPECT_EQ(durante, QStringLiteral("0 %1").arg(Qt::WaitCursor));
  EXPECT_EQ(stato_pulsante(), "1 -1");
  EXPECT_EQ(QApplication::focusWidget(), controllo("Comm_st"));
#endif
}

// The error browser: the report's blocks, the first one's messages and decoded lines, from a
// message to its line and the clipboard; none from a data file written since the run.
TEST_F(FormImportTest, SampleFilesErrorsAreBrowsedInTheWindow) {
  ASSERT_NO_FATAL_FAILURE(esempi());
  const QStringList& file = esempi_;
  clic_file(file[1]);
  RisposteModali nessuna;
  controlla(nessuna);
  ASSERT_TRUE(controllo("Pannello_errori")->isVisible());
  auto* blocchi = controllo<QTreeWidget>("Blocchi");
  QStringList attesi, visti;
  const QRegularExpression chiusura(QStringLiteral("^(\\d+) \\.+ Ricetta Nr +(\\S+)"));
  for (const QString& r : da_cp1252(app_.leggi("errori.RPT")).split("\r\n"))
    if (const auto m = chiusura.match(r); m.hasMatch())
      attesi << QString::number(m.captured(1).toInt()) + ' ' + m.captured(2);
  for (int i = 0; i < blocchi->topLevelItemCount(); ++i)
    visti << blocchi->topLevelItem(i)->text(0) + ' ' + blocchi->topLevelItem(i)->text(1);
  EXPECT_EQ(visti, attesi);
  EXPECT_EQ(blocchi->topLevelItem(0)->text(2),
            QStringLiteral("Importo \u20ac 99,99 errato Cod.Prestaz.  90.14.1 (\u20ac 00001.13)"));
  auto* messaggi = controllo<QListWidget>("Messaggi");
  ASSERT_EQ(messaggi->count(), 2);
  EXPECT_TRUE(messaggi->item(1)->text().startsWith("Riga 9: Totale"));
  // Lines 1 to 9 of the ricetta, each in its 25 fields; line 4 marked, with the fields of
  // its message (service, quantity, amount) highlighted.
  auto* righe = controllo<QTreeWidget>("Righe");
  ASSERT_EQ(righe->topLevelItemCount(), 9);
  const QStringList linee = da_cp1252(prova::leggi_file(dati_ / a_percorso(file[1]))).split("\r\n");
  QTreeWidgetItem* quarta = righe->topLevelItem(3);
  ASSERT_EQ(quarta->childCount(), 25);
  EXPECT_TRUE(quarta->text(0).startsWith("Riga 4 ") && quarta->font(0).bold());
  EXPECT_FALSE(righe->topLevelItem(2)->font(0).bold());
  QStringList evidenziati;
  for (int i = 0; i < 25; ++i)
    if (const QTreeWidgetItem* c = quarta->child(i); c->font(3).bold())
      evidenziati << c->text(0) + ' ' + c->text(1) + ' ' + c->text(2);
  EXPECT_EQ(evidenziati, QStringList({"155 7 Codice prestazione", QString::fromUtf8("162 3 Quantit\u00e0"),
                                      "180 8 Importo"}));
  EXPECT_EQ(quarta->child(18)->text(3), linee[3].mid(154, 7));
  // A double click on the first message goes to its line; Enter on the second to its own.
  const QPoint primo = messaggi->visualItemRect(messaggi->item(0)).center();
  QTest::mouseClick(messaggi->viewport(), Qt::LeftButton, {}, primo);
  QTest::mouseDClick(messaggi->viewport(), Qt::LeftButton, {}, primo);
  EXPECT_EQ(righe->currentItem(), quarta);
  QTest::qWait(50);
  const QString aperti = QStringLiteral(FLUSSOM_UI_ARTEFATTI "/finestra_errori_aperti.png");
  EXPECT_TRUE(finestra_->grab().save(aperti)) << aperti.toStdString();
  QTest::keyClick(righe, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), linee[3]);
  messaggi->setCurrentRow(1);
  QTest::keyClick(messaggi, Qt::Key_Return);
  EXPECT_EQ(righe->currentItem(), righe->topLevelItem(8));
  controllo<QPushButton>("Copia_riga")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), linee[8]);
  // The data file written after the check (its first line moved to the end): no block shows
  // its lines, not even once its time of last change is put back, for its lines no longer
  // carry the block's ricetta.
  const fs::path scritto = dati_ / a_percorso(file[1]);
  const auto quando = fs::last_write_time(scritto);
  const std::string prima = prova::leggi_file(scritto);
  prova::scrivi_file(scritto, prima.substr(prima.find('\n') + 1) + prima.substr(0, prima.find('\n') + 1));
  for (int blocco : {1, 0}) {
    blocchi->setCurrentItem(blocchi->topLevelItem(blocco));
    ASSERT_EQ(righe->topLevelItemCount(), 1);
    EXPECT_EQ(righe->topLevelItem(0)->text(0),
              QString::fromUtf8("Il file \u00e8 cambiato dopo il controllo: ricontrollarlo"));
    EXPECT_FALSE(controllo("Copia_riga")->isEnabled());
    fs::last_write_time(scritto, quando);
  }
  // The browser hides from its button.
  controllo("Comm_errori")->setFocus();
  QTest::keyClick(controllo("Comm_errori"), Qt::Key_Return);
  EXPECT_FALSE(controllo("Pannello_errori")->isVisible());
  // Chosen again: the last run's errors, facility and bar put away.
  clic_file(file[1]);
  EXPECT_FALSE(stampa());
  EXPECT_FALSE(controllo("Comm_errori")->isEnabled());
  EXPECT_EQ(struttura() + QString::number(controllo<QProgressBar>("ProgressBar1")->value()), "0");
}

// A month's work: ten thousand ricette with an error each, one of them cut short. The browser
// counts them, finds one by its number, keeps every number whole (also those beyond the rows a
// column fitted to its contents measures), frames the list that has the focus, and exports the
// errors as the command line writes them, never over the run's own files.
TEST_F(FormImportTest, TheBrowserFindsARicettaAmongManyAndExportsWhatTheCommandLineWrites) {
  prova::costruisci_in(app_.percorso(), prova::tabelle_base());
  app_.scrivi("strutture.DAT", prova::strutture_base());
  prova::RigaProva servizio;
  servizio.quantita = "000";
  std::string dati;
  for (int i = 1; i <= 10000; ++i) {
    servizio.num_ricetta = std::to_string(190000000000000 + i);
    const std::string chiusura = servizio.chiusura("0020,66", "").linea();
    dati += servizio.linea() + "\r\n" + (i == 77 ? chiusura.substr(0, 221) : chiusura) + "\r\n";
  }
  app_.scrivi("AMB10.txt", dati);
  apri();
  clic_file("AMB10.txt");
  RisposteModali risposte;
  controlla(risposte);
  auto* blocchi = controllo<QTreeWidget>("Blocchi");
  ASSERT_EQ(blocchi->topLevelItemCount(), 10000);
  EXPECT_EQ(controllo<QLabel>("Titolo_blocchi")->text(), "R&icette con errori (10000)");
  for (int colonna : {0, 1})
    EXPECT_GE(blocchi->columnWidth(colonna), blocchi->sizeHintForIndex(blocchi->model()->index(9999, colonna)).width());
  auto* cerca = controllo<QLineEdit>("Cerca_ricetta");
  const auto corrente = [&] { return blocchi->currentItem()->text(0); };
  QTest::keyClicks(cerca, "11");
  EXPECT_EQ(corrente(), "11");
  QTest::keyClick(cerca, Qt::Key_Return);
  EXPECT_EQ(corrente(), "110");
  cerca->clear();
  QTest::keyClicks(cerca, "A9");
  EXPECT_TRUE(controllo("Non_trovata")->isVisible());
  EXPECT_EQ(corrente(), "110");
  cerca->clear();
  QTest::keyClicks(cerca, "0077");
  EXPECT_FALSE(controllo("Non_trovata")->isVisible());
  EXPECT_EQ(corrente(), "77");
  auto* righe_file = controllo<QTreeWidget>("Righe");
  ASSERT_EQ(righe_file->topLevelItemCount(), 2);
  auto* messaggi = controllo<QListWidget>("Messaggi");
  messaggi->setCurrentRow(1);
  QTest::keyClick(messaggi, Qt::Key_Return);
  EXPECT_TRUE(righe_file->currentItem()->text(0).startsWith("Riga 154 (221 caratteri invece di 222)"));
  QTest::qWait(50);  // the browser laid out
  const QString foto = QStringLiteral(FLUSSOM_UI_ARTEFATTI "/finestra_ricerca_riga_corta.png");
  EXPECT_TRUE(finestra_->grab().save(foto)) << foto.toStdString();
  // A frame shows which list has the focus.
  for (const char* nome : {"Dir1", "File1", "Blocchi", "Messaggi", "Righe"}) {
    QWidget* lista = controllo(nome);
    controllo("Com_fine")->setFocus();
    const QImage senza = lista->grab().toImage();
    lista->setFocus();
    const QImage con = lista->grab().toImage();
    EXPECT_NE(con.pixel(0, con.height() / 2), senza.pixel(0, senza.height() / 2)) << nome;
  }
  // The export: what the command line writes; refused on a table's name (also where no table
  // stands).
  riga_di_comando(app_ / "AMB10.txt", {"--errori-csv", da_percorso(app_ / "riga_di_comando.csv")});
  const std::string atteso = app_.leggi("riga_di_comando.csv");
  EXPECT_NE(atteso.find("\r\n77;190000000000077;154;lunghezza_errata;;Lunghezza file errata\r\n"), std::string::npos);
  fs::remove(app_ / "TERA001.DAT");
  for (const char* nome : {"TERA001.DAT", "esportato.csv"}) {
    risposte.poi([&](QWidget* w) {
      w->findChild<QLineEdit*>("fileNameEdit")->setText(da_percorso(app_ / nome));
      static_cast<QDialog*>(w)->accept();  // as the dialog's Save button
    });
    if (nome[0] == 'T') risposte.premi(QMessageBox::Ok);
    controllo<QPushButton>("Esporta_errori")->click();
  }
  ASSERT_EQ(risposte.visti().size(), 1u);
  EXPECT_TRUE(risposte.visti()[0].testo.endsWith("TERA001.DAT, che il controllo non deve sovrascrivere"))
      << risposte.visti()[0].testo.toStdString();
  EXPECT_FALSE(fs::exists(app_ / "TERA001.DAT"));
  EXPECT_TRUE(app_.leggi("esportato.csv") == atteso) << "the window exported other bytes than the command line";
}

TEST_F(FormImportTest, TheRunShowsFacilityProgressAndLinesAddedBeforeAMessage) {
  app_.scrivi("strutture.DAT", record_ambulatorio);
  const std::string chiusura = riga("123456", "0000000000000001", "99");
  app_.scrivi("AMB05.txt",
              chiusura + chiusura.substr(0, 221) + "\r\n" + riga("999999", "0000000000000002", "01"));
  app_.scrivi("AMB04.txt", chiusura.substr(0, 221));
  apri();
  // A first line of the wrong length stops the run with nothing to view; the browser shows
  // its message, outside any block, and the line with its length.
  RisposteModali risposte;
  clic_file("AMB04.txt");
  controlla(risposte);
  EXPECT_FALSE(stampa());
  auto* righe_file = controllo<QTreeWidget>("Righe");
  ASSERT_EQ(righe_file->topLevelItemCount(), 1);
  EXPECT_EQ(controllo<QTreeWidget>("Blocchi")->topLevelItem(0)->text(1) + ": " +
                controllo<QListWidget>("Messaggi")->item(0)->text() + " / " + righe_file->topLevelItem(0)->text(0),
            QString::fromUtf8("Fuori blocco: Riga 1: Lunghezza file errata / "
                              "Riga 1 (221 caratteri invece di 222)  \u25c4 errore"));
  clic_file("AMB05.txt");
  auto* barra = controllo<QProgressBar>("ProgressBar1");
  QString durante;
  int valore_durante = 0;
  const auto ok = [&](QWidget* w) {
    durante = stato();
    valore_durante = barra->value();
    static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
  };
  controlla(risposte.poi(ok));
  EXPECT_TRUE(durante.endsWith("\nLunghezza file ERRATA")) << durante.toStdString();
  // The tables missing from the folder (all but strutture.DAT) are told first; then the lines
  // of the command line, and the run stopped: the last line says so, and why.
  QStringList senza_avvisi = righe();
  EXPECT_EQ(senza_avvisi.removeIf([](const QString& r) { return r.startsWith("Attenzione: tabella mancante"); }), 7);
  EXPECT_TRUE(righe()[1].startsWith("Attenzione: tabella mancante ")) << righe()[1].toStdString();
  EXPECT_EQ(senza_avvisi, riga_di_comando() << "Controllo NON completato: STRUTTURA NON TROVATA");
  EXPECT_EQ(struttura(), "AMBULATORIO");
  EXPECT_TRUE(stampa());
  // 671 bytes are 3 lines of 222; the bar moves during the run, not only at its end.
  EXPECT_EQ(barra->maximum(), 3);
  EXPECT_EQ(barra->value(), 3);
  EXPECT_EQ(valore_durante, 3);

  const qsizetype prima = righe().size();
  controlla(risposte.poi(ok));
  EXPECT_EQ(righe().size(), 2 * prima - 1);
  // A report that cannot be written stops the run before any line: the reason comes last.
  // The bar starts empty: under the question already, and stays so.
  fs::remove(app_ / "errori.RPT");
  fs::create_directory(app_ / "errori.RPT");
  app_.scrivi("strutture.DAT", "");
  int alla_domanda = -1;
  controlla(risposte.poi([&](QWidget* w) {
    alla_domanda = barra->value();
    static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
  }).premi(QMessageBox::Ok));
  EXPECT_EQ(alla_domanda + barra->value(), 0);
  EXPECT_EQ(righe().back(), QString::fromUtf8("Controllo NON completato: Impossibile scrivere il report ") +
                                da_percorso(app_ / "errori.RPT") + QString::fromUtf8(" : \u00e8 una cartella"));
}

// The run goes on beside the window, "Interrompi" on show meanwhile, and stops at its press,
// also while it waits on its question (nothing touched then). On a pipe that only the
// window's own timer feeds, the run reads only while the window handles its events.
TEST_F(FormImportTest, TheRunGoesOnBesideTheWindowUntilInterrupted) {
  app_.scrivi("AMB07.txt", riga("123456", "0000000000000001", "99"));
  apri();
  clic_file("AMB07.txt");
  const QString interrotto = QStringLiteral("Controllo NON completato: interrotto dall'operatore");
  const auto in_corso = [&] {
    return QStringLiteral("%1 %2 %3").arg(controllo("Comm_interrompi")->isVisible())
        .arg(controllo("Comm_controlla")->isEnabled()).arg(controllo("File1")->isEnabled());
  };
  QString alla_domanda;
  RisposteModali risposte;
  controlla(risposte.poi([&](QWidget* w) {
    alla_domanda = in_corso();
    controllo<QPushButton>("Comm_interrompi")->click();
    static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
  }));
  EXPECT_EQ(alla_domanda, "1 0 0");
  EXPECT_EQ(in_corso(), "0 1 1");
  EXPECT_EQ(righe().back(), interrotto);
  EXPECT_FALSE(fs::exists(app_ / "errori.RPT"));
  // Closed while the run waits on its question: the window lets the run go and waits for its end.
  controlla(risposte.poi([&](QWidget* w) {
    finestra_->close();
    static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
  }));
  EXPECT_FALSE(finestra_->isVisible());
  EXPECT_FALSE(fs::exists(app_ / "errori.RPT"));
#ifndef _WIN32
  apri();
  prova::costruisci_in(app_.percorso(), prova::tabelle_base());
  app_.scrivi("strutture.DAT", prova::strutture_base());
  const fs::path fifo = app_ / "FLM102026";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string dati;
  for (long long n = 0; n < 1000; ++n) dati += prova::ricetta_corretta(std::to_string(190000000000001 + n));
  const int fd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);  // never blocks, never ends the pipe
  ASSERT_GE(fd, 0);
  std::size_t scritti = 0;
  QElapsedTimer dalla_pressione;
  QTimer nutrice;
  QObject::connect(&nutrice, &QTimer::timeout, [&] {
    for (ssize_t n; (n = write(fd, dati.data() + scritti % dati.size(), dati.size() - scritti % dati.size())) > 0;)
      scritti += static_cast<std::size_t>(n);
    // 4 MB through a pipe of 64 KB: the run is well into the lines.
    if (scritti < (4u << 20) || dalla_pressione.isValid()) return;
    const QString foto = QStringLiteral(FLUSSOM_UI_ARTEFATTI "/finestra_controllo_in_corso.png");
    EXPECT_TRUE(finestra_->grab().save(foto)) << foto.toStdString();
    alla_domanda = in_corso();
    dalla_pressione.start();
    controllo<QPushButton>("Comm_interrompi")->click();
  });
  nutrice.start(1);
  finestra_->scegli_file(QStringLiteral("FLM102026"));
  controlla(risposte);
  const qint64 attesa = dalla_pressione.elapsed();
  nutrice.stop();
  close(fd);
  EXPECT_EQ(alla_domanda, "1 0 0");
  EXPECT_LT(attesa, 500);
  EXPECT_EQ(struttura(), "AMBULATORIO PROVA");
  EXPECT_EQ(righe().back(), interrotto);
#endif
}

// Another check in the same folder, from the command line or another window: while it holds
// the folder this window's run is refused and says why; a report it has written in the place
// of this window's last one, or removed, is never opened for it.
TEST_F(FormImportTest, AnotherCheckInTheFolderIsToldAndTheReportItReplacedIsNotOpened) {
  app_.scrivi("strutture.DAT", record_ambulatorio);
  const std::string chiusura = riga("123456", "0000000000000001", "99");
  app_.scrivi("AMB05.txt", chiusura);
  app_.scrivi("AMB06.txt", chiusura + riga("123456", "0000000000000002", "99"));
  apri();
  clic_file("AMB05.txt");
  RisposteModali risposte;
  controlla(risposte);
  const std::string report = app_.leggi("errori.RPT");
  ASSERT_TRUE(stampa());
#ifndef _WIN32
  EditorFinto editor;
  const std::string aperto =
      "--standalone\n--encoding=WINDOWS-1252\n" + (app_ / "errori.RPT").string() + "\n";
#endif
  const auto box = [](const QString& testo) {
    return descrivi({{titolo_applicazione, testo, QMessageBox::NoIcon, QMessageBox::Ok, {"OK"}}});
  };
  // The message boxes seen since the last look.
  std::size_t guardati = 0;
  const auto nuovi_box = [&] {
    const std::vector<BoxVisto> v(risposte.visti().begin() + guardati, risposte.visti().end());
    guardati = risposte.visti().size();
    return descrivi(v);
  };
  {
    bool occupato = false;
    std::string errore;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> blocco(
        prendi_blocco(file_blocco_report(app_.percorso()), occupato, errore), &std::fclose);
    ASSERT_TRUE(blocco) << errore;
    const QString in_corso = QString::fromUtf8("Un altro controllo \u00e8 in corso nella ") +
                             "cartella " + da_percorso(app_.percorso()) + ": riprovare al termine";
    controlla(risposte.premi(QMessageBox::Ok));
    EXPECT_EQ(nuovi_box(), box(in_corso));
    EXPECT_EQ(righe().back(), "Controllo NON completato: " + in_corso);
    EXPECT_EQ(app_.leggi("errori.RPT"), report);
    // The last report, untouched, may still be opened; once the other check has written its
    // own, no longer.
    EXPECT_TRUE(stampa());
#ifndef _WIN32
    controllo<QPushButton>("Comm_st")->click();
    EXPECT_EQ(editor.argomenti(), aperto);
#endif
    app_.scrivi("errori.RPT", "scritto da un altro controllo");
    controlla(risposte.premi(QMessageBox::Ok));
    EXPECT_EQ(nuovi_box(), box(in_corso));
    EXPECT_FALSE(stampa());
  }
  // Released, the folder is this window's again.
  controlla(risposte);
  EXPECT_EQ(righe().back(), "Il file contiene ERRORI rilevanti");
  ASSERT_TRUE(stampa());

  // The command line checks another file of the folder; the window checks again and the
  // report is removed: the button says so, opens nothing and is disabled.
  const auto sostituito = [&] {
    ASSERT_TRUE(stampa());
    risposte.premi(QMessageBox::Ok);
    controllo<QPushButton>("Comm_st")->click();
    EXPECT_EQ(risposte.restanti(), 0u);
    EXPECT_EQ(nuovi_box(), box(QString::fromUtf8("Il report errori.RPT \u00e8 stato sostituito da "
                                                 "un altro controllo: ricontrollare il file")));
    EXPECT_FALSE(stampa());
#ifndef _WIN32
    EXPECT_EQ(editor.argomenti(), "");
#endif
  };
  EXPECT_EQ(riga_di_comando(app_ / "AMB06.txt").back(), "Il file contiene ERRORI rilevanti");
  sostituito();
  controlla(risposte);
  fs::remove(app_ / "errori.RPT");
  sostituito();
}

RisposteModali::Risposta registra(const char* codice, const char* nome, const char* branca) {
  return [=](QWidget* w) {
    auto* Text1 = w->findChild<QLineEdit*>("Text1");
    ASSERT_NE(qobject_cast<Form_dati*>(w), nullptr);
    EXPECT_EQ(Text1->text(), "123456");
    if (codice != nullptr) Text1->setText(codice);
    QTest::keyClicks(w->findChild<QLineEdit*>("Text2"), nome);
    QTest::keyClicks(w->findChild<QLineEdit*>("Text3"), branca);
    w->findChild<QPushButton*>("Command1")->click();
  };
}

TEST_F(FormImportTest, TheMissingFacilityIsRegisteredDuringTheRun) {
  using B = QMessageBox;
  const BoxVisto domanda{titolo_vuoto, "STRUTTURA NON TROVATA! Vuole inserirla ", B::Question, B::Yes | B::No,
                         {QString::fromUtf8("&S\xc3\xac"), "&No"}};
  const BoxVisto non_trovata{titolo_applicazione, "STRUTTURA NON TROVATA", B::NoIcon, B::Ok, {"OK"}};
  const auto chiudi = [](QWidget* w) { static_cast<QDialog*>(w)->reject(); };
  const auto fine = [](QWidget* w) { w->findChild<QPushButton*>("Com_fine")->click(); };
  const struct {
    const char* caso;
    std::function<void(RisposteModali&)> risposte;
    std::vector<BoxVisto> box;
    std::string strutture;
  } casi[] = {
      {"chiusa", [&](RisposteModali& r) { r.premi(B::Yes).poi(chiudi).premi(B::No).premi(B::Ok); },
       {domanda, domanda, non_trovata}, ""},
      {"fine", [&](RisposteModali& r) { r.premi(B::Yes).poi(fine); }, {domanda}, ""},
      // A registration under another code does not stop the question.
      {"registrata",
       [](RisposteModali& r) {
         r.premi(B::Yes).poi(registra("654321", "altra", "01")).premi(B::Yes);
         r.poi(registra(nullptr, "ambulatorio", "02"));
       },
       {domanda, domanda}, "\"654321\",\"ALTRA\",\"01\",\"\",\"\"\r\n" + record_ambulatorio},
  };
  app_.scrivi("AMB07.txt", riga("123456", "0000000000000001", "99"));
  for (const auto& c : casi) {
    SCOPED_TRACE(c.caso);
    apri();
    clic_file("AMB07.txt");
    QSignalSpy terminato(finestra_.get(), &Form_import::programma_terminato);
    RisposteModali risposte;
    c.risposte(risposte);
    controlla(risposte);
    EXPECT_EQ(descrivi(risposte.visti()), descrivi(c.box));
    // Wide enough for the title in a bold title-bar font beside the title bar's buttons.
    QFont titolo = QApplication::font("QMdiSubWindowTitleBar");
    titolo.setBold(true);
    for (const BoxVisto& b : risposte.visti())
      EXPECT_GE(b.larghezza, QFontMetrics(titolo).horizontalAdvance(b.titolo) * 6 / 5 + 150) << b.testo.toStdString();
    EXPECT_EQ(app_.leggi("strutture.DAT"), c.strutture);
    EXPECT_EQ(terminato.count(), c.caso == std::string_view("fine"));
    EXPECT_EQ(finestra_->isVisible(), terminato.empty());
  }
  // The run that registered the facility went on with it, and the next one finds it at once.
  EXPECT_EQ(struttura(), "AMBULATORIO");
  EXPECT_EQ(righe().back(), "Il file contiene ERRORI rilevanti");
  RisposteModali nessuna;
  controlla(nessuna);
}

}  // namespace
}  // namespace flussom

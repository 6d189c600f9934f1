#include "ui/form_import.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/cartella_temporanea.h"
#include "ui/form_dati.h"
#include "ui/percorsi.h"
#include "ui/prova_modali.h"

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

// The message boxes in a form that a failed comparison prints readably.
std::string descrivi(const std::vector<BoxVisto>& box) {
  QString d;
  for (const BoxVisto& b : box)
    d += QStringLiteral("%1|%2|%3|%4|%5\n").arg(b.titolo, b.testo).arg(b.icona).arg(b.pulsanti.toInt())
             .arg(b.etichette.join(','));
  return d.toStdString();
}

class ContaPitture : public QObject {
 public:
  explicit ContaPitture(QWidget* w) { w->installEventFilter(this); }
  int pitture = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    pitture += e->type() == QEvent::Paint;
    return false;
  }
};

class FormImportTest : public ::testing::Test {
 protected:
  void apri() {
    finestra_ = std::make_unique<Form_import>(app_.percorso(), orologio_);
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
  void controlla(RisposteModali& risposte) {
    controllo<QPushButton>("Comm_controlla")->click();
    EXPECT_EQ(risposte.restanti(), 0u) << "modal windows that did not appear";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
  // The status lines that the command line prints for the chosen file.
  QStringList riga_di_comando() {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(FLUSSOM_BIN), {"controlla", "--cartella", da_percorso(app_.percorso()),
                                          da_percorso(finestra_->percorso_file())});
    EXPECT_TRUE(p.waitForFinished(60000));
    QStringList righe = QString::fromUtf8(p.readAllStandardOutput()).remove('\r').split('\n');
    righe.removeLast();
    return righe;
  }

  CartellaTemporanea app_;
  OrologioFisso orologio_{std::chrono::year{2026} / 12 / 6};
  std::unique_ptr<Form_import> finestra_;
};

TEST_F(FormImportTest, AtStartShowsTheApplicationFolderAndFoldersCanBeWalked) {
  for (const char* f : {"a.txt", "B.TXT", "senza", "x.dat", "y.txt.bak", "rpt.RPT"}) app_.scrivi(f, "");
  fs::create_directory(app_ / "sotto");
  app_.scrivi("sotto/dentro.txt", "");
  apri();
  EXPECT_EQ(finestra_->windowTitle(), QString::fromLatin1(titolo_finestra));
  for (auto [nome, testo] : {std::pair{"Label2", "Drive"}, {"Label1", "File dati da controllare"},
                             {"Comm_controlla", "Controlla File"}, {"Comm_st", "Visualizza e stampa errori"},
                             {"Com_fine", "Fine"}, {"Text2", ""}})
    EXPECT_EQ(controllo(nome)->property("text").toString(), testo) << nome;
  EXPECT_EQ(stato(), "");
  EXPECT_FALSE(stampa());
  EXPECT_EQ(voci("File1"), QStringList({"a.txt", "B.TXT", "senza"}));
  EXPECT_EQ(finestra_->cartella_corrente(), cartella());
  const QString radice = QDir::toNativeSeparators(QDir::rootPath());
  EXPECT_EQ(controllo<QComboBox>("Drive1")->currentText(), radice);
  // The way down from the root to the folder, which is selected, then its subfolders.
  auto* dir1 = controllo<QListWidget>("Dir1");
  EXPECT_EQ(voci("Dir1").front(), radice);
  EXPECT_EQ(voci("Dir1").back(), "sotto");
  EXPECT_EQ(dir1->currentItem()->text().trimmed(), da_percorso(app_.percorso().filename()));

  RisposteModali nessuna;
  controlla(nessuna);
  EXPECT_EQ(QApplication::focusWidget(), controllo("Com_fine"));

  finestra_->run_finito(RisultatoRun{EsitoRun::con_errori, true, {}});
  dir1->setCurrentRow(dir1->count() - 1);
  QTest::keyClick(dir1, Qt::Key_Return);
  EXPECT_EQ(voci("File1"), QStringList{"dentro.txt"});
  EXPECT_FALSE(stampa());
  finestra_->cambia_cartella(da_percorso(app_ / "sparita"));
  EXPECT_EQ(voci("File1"), QStringList{"dentro.txt"});
}

TEST_F(FormImportTest, AChosenFileIsShownWithItsPath) {
  app_.scrivi("AMB01.txt", "");
  app_.scrivi("AMB02.txt", "");
  apri();
  finestra_->struttura_trovata("VECCHIA");
  finestra_->run_finito(RisultatoRun{EsitoRun::con_errori, true, {}});
  clic_file("AMB01.txt");
  const QString atteso = cartella() + QDir::separator() + "AMB01.txt";
  EXPECT_EQ(da_percorso(finestra_->percorso_file()), atteso);
  EXPECT_EQ(stato(), "Apertura File : " + atteso);
  EXPECT_EQ(struttura(), "");
  EXPECT_FALSE(stampa());
  QTest::keyClick(controllo("File1"), Qt::Key_Down);
  EXPECT_EQ(stato(), "Apertura File : " + cartella() + QDir::separator() + "AMB02.txt");
}

TEST_F(FormImportTest, SampleFilesGiveTheCommandLinesResultsAndTheReportOpens) {
  const fs::path sorgenti = FLUSSOM_SORGENTI;
  QProcess tabelle;
  tabelle.start(QStringLiteral(FLUSSOM_BIN), {"tabelle", "costruisci", da_percorso(sorgenti / "tabelle"),
                                              da_percorso(app_.percorso())});
  ASSERT_TRUE(tabelle.waitForFinished(60000));
  ASSERT_EQ(tabelle.exitCode(), 0) << tabelle.readAllStandardError().toStdString();
  // The data files in a folder named with an accent, the euro sign and a blank.
  const fs::path dati = app_.percorso() / fs::path(u8"citt\u00e0 \u20ac x");
  fs::create_directory(dati);
  for (const auto& f : fs::directory_iterator(sorgenti / "esempi"))
    fs::copy(f.path(), f.path().extension() == ".DAT" ? app_.percorso() : dati);
  apri();
  finestra_->cambia_cartella(da_percorso(dati));
  const QStringList file = voci("File1");
  ASSERT_EQ(file.size(), 2);
  RisposteModali nessuna;
  for (bool errori : {false, true}) {
    clic_file(file[errori]);
    controlla(nessuna);
    EXPECT_EQ(righe(), riga_di_comando());
    EXPECT_EQ(stampa(), errori);
  }
  EXPECT_TRUE(nessuna.visti().empty());
  EXPECT_EQ(struttura(), "POLIAMBULATORIO ESEMPIO");
  const bool windows = QGuiApplication::platformName() == QLatin1String("windows");
  const QString immagine = QStringLiteral(FLUSSOM_UI_ARTEFATTI "/finestra_%1dopo_errori.png")
                               .arg(windows ? "windows_" : "");
  // With a real window system, what the screen shows; otherwise the widget's own drawing.
  QTest::qWait(200);
  const QPixmap foto = windows ? finestra_->screen()->grabWindow(finestra_->winId()) : finestra_->grab();
  EXPECT_TRUE(foto.save(immagine)) << immagine.toStdString();

#ifndef _WIN32
  // A stand-in editor, alone in PATH, writes down its arguments.
  CartellaTemporanea bin;
  fs::permissions(bin.scrivi("gedit", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.arg\"\n"),
                  fs::perms::owner_all);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(da_percorso(bin.percorso())));
  controllo<QPushButton>("Comm_st")->click();
  qputenv("PATH", path);
  EXPECT_EQ(bin.leggi("gedit.arg"),
            "--standalone\n--encoding=WINDOWS-1252\n" + (app_ / "errori.RPT").string() + "\n");
#endif
  clic_file(file[1]);
  EXPECT_FALSE(stampa());
}

TEST_F(FormImportTest, TheRunShowsFacilityProgressAndLinesAddedBeforeAMessage) {
  app_.scrivi("strutture.DAT", record_ambulatorio);
  const std::string chiusura = riga("123456", "0000000000000001", "99");
  app_.scrivi("AMB05.txt",
              chiusura + chiusura.substr(0, 221) + "\r\n" + riga("999999", "0000000000000002", "01"));
  apri();
  clic_file("AMB05.txt");
  auto* barra = controllo<QProgressBar>("ProgressBar1");
  ContaPitture pitture(barra);
  QString durante;
  int pitture_durante = 0;
  const auto ok = [&](QWidget* w) {
    durante = stato();
    pitture_durante = pitture.pitture;
    static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
  };
  RisposteModali risposte;
  controlla(risposte.poi(ok));
  ASSERT_EQ(risposte.visti().size(), 1u);
  EXPECT_EQ(risposte.visti()[0].testo, "STRUTTURA NON TROVATA");
  EXPECT_TRUE(durante.endsWith("\nLunghezza file ERRATA")) << durante.toStdString();
  EXPECT_EQ(righe(), riga_di_comando());
  EXPECT_EQ(struttura(), "AMBULATORIO");
  EXPECT_TRUE(stampa());
  // 671 bytes are 3 lines of 222; the run never yields, so the bar repaints by itself.
  EXPECT_EQ(barra->maximum(), 3);
  EXPECT_EQ(barra->value(), 3);
  EXPECT_GE(pitture_durante, 3);

  const qsizetype prima = righe().size();
  controlla(risposte.poi(ok));
  EXPECT_EQ(righe().size(), 2 * prima - 1);
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
  const BoxVisto domanda{"", "STRUTTURA NON TROVATA! Vuole inserirla ", B::Question, B::Yes | B::No,
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
    EXPECT_EQ(app_.leggi("strutture.DAT"), c.strutture);
    EXPECT_EQ(terminato.count(), c.caso == std::string_view("fine"));
    EXPECT_EQ(finestra_->isVisible(), terminato.empty());
  }
  // The run that registered the facility went on with it, and the next one finds it at once.
  EXPECT_EQ(struttura(), "AMBULATORIO");
  EXPECT_EQ(righe().back(), "Il file contiene ERRORI rilevanti");
  RisposteModali nessuna;
  controlla(nessuna);
  EXPECT_TRUE(nessuna.visti().empty());
}

}  // namespace
}  // namespace flussom

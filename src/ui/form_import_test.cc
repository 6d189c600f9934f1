#include "ui/form_import.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <chrono>

#include "check/cp1252.h"
#include "support/cartella_temporanea.h"
#include "ui/form_dati.h"
#include "ui/percorsi.h"
#include "ui/prova_modali.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;
using prova::CartellaTemporanea;
using prova::RisposteModali;

const std::string record_ambulatorio = "\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n";

// A data-file line of 222 characters: the facility code in columns 7-12, the prescription
// number in 123-138 and the row number in 139-140; the rest blank.
std::string riga(std::string_view struttura, std::string_view ricetta, std::string_view progressivo) {
  std::string r(222, ' ');
  r.replace(6, struttura.size(), struttura);
  r.replace(122, ricetta.size(), ricetta);
  r.replace(138, progressivo.size(), progressivo);
  return r;
}

// Counts the paint events of a widget.
class ContaPitture : public QObject {
 public:
  explicit ContaPitture(QWidget* w) { w->installEventFilter(this); }
  int pitture = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++pitture;
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
  template <class T>
  T* controllo(const char* nome) {
    T* c = finestra_->findChild<T*>(nome);
    EXPECT_NE(c, nullptr) << nome;
    return c;
  }
  QPushButton* pulsante(const char* nome) { return controllo<QPushButton>(nome); }
  QStringList voci(const char* lista) {
    QStringList v;
    auto* l = controllo<QListWidget>(lista);
    for (int i = 0; i < l->count(); ++i) v << l->item(i)->text().trimmed();
    return v;
  }
  void clic_file(const QString& nome) {
    auto* l = controllo<QListWidget>("File1");
    const auto trovati = l->findItems(nome, Qt::MatchExactly);
    ASSERT_EQ(trovati.size(), 1) << nome.toStdString();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(trovati[0]).center());
  }
  QStringList righe_stato() { return controllo<QPlainTextEdit>("Text1")->toPlainText().split('\n'); }

  // Presses "Controlla File"; the modal windows of the run get `risposte`.
  void controlla(RisposteModali& risposte) {
    pulsante("Comm_controlla")->click();
    EXPECT_EQ(risposte.restanti(), 0u) << "modal windows that did not appear";
  }

  // The status lines that the command line prints for the same file and folder.
  QStringList righe_riga_di_comando(const QString& file) {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(FLUSSOM_BIN),
            {QStringLiteral("controlla"), QStringLiteral("--cartella"), da_percorso(app_.percorso()), file});
    EXPECT_TRUE(p.waitForFinished(60000));
    QStringList righe = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    for (QString& r : righe)
      if (r.endsWith('\r')) r.chop(1);
    if (!righe.isEmpty() && righe.back().isEmpty()) righe.pop_back();
    return righe;
  }

  CartellaTemporanea app_;
  OrologioFisso orologio_{std::chrono::year{2026} / 12 / 6};
  std::unique_ptr<Form_import> finestra_;
};

TEST_F(FormImportTest, AllAvvioMostraLaCartellaDellApplicazioneEIlPulsanteDegliErroriSpento) {
  for (const char* f : {"a.txt", "B.TXT", "senza", "x.dat", "y.txt.bak", "rpt.RPT"}) app_.scrivi(f, "");
  fs::create_directory(app_ / "sotto");
  app_.scrivi("sotto/dentro.txt", "");
  apri();

  EXPECT_EQ(finestra_->windowTitle(), QString::fromLatin1(titolo_finestra));
  EXPECT_EQ(controllo<QLabel>("Label2")->text(), "Drive");
  EXPECT_EQ(controllo<QLabel>("Label1")->text(), "File dati da controllare");
  EXPECT_EQ(pulsante("Comm_controlla")->text(), "Controlla File");
  EXPECT_EQ(pulsante("Comm_st")->text(), "Visualizza e stampa errori");
  EXPECT_EQ(pulsante("Com_fine")->text(), "Fine");
  EXPECT_TRUE(pulsante("Comm_controlla")->isEnabled());
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());
  EXPECT_EQ(controllo<QPlainTextEdit>("Text1")->toPlainText(), "");
  EXPECT_EQ(controllo<QLineEdit>("Text2")->text(), "");
  EXPECT_EQ(finestra_->testo_stato(), "");

  // Only names with the txt extension, in any case, and names without an extension.
  EXPECT_EQ(voci("File1"), QStringList({"a.txt", "B.TXT", "senza"}));
  EXPECT_EQ(finestra_->cartella_corrente(), QDir::toNativeSeparators(da_percorso(app_.percorso())));
  // The folder list: the way down from the root to the folder, which is selected, then its
  // subfolders.
  const QStringList cartelle = voci("Dir1");
  ASSERT_GE(cartelle.size(), 3);
  EXPECT_EQ(cartelle.front(), QDir::toNativeSeparators(QDir::rootPath()));
  EXPECT_EQ(cartelle.back(), "sotto");
  auto* dir1 = controllo<QListWidget>("Dir1");
  EXPECT_EQ(dir1->currentItem()->text().trimmed(), QString::fromStdString(app_.percorso().filename().string()));
  // The drive list shows the drive of the folder: the file-system root here.
  EXPECT_EQ(controllo<QComboBox>("Drive1")->currentText(), QDir::toNativeSeparators(QDir::rootPath()));
}

TEST_F(FormImportTest, UnClicSulFileNeComponeIlPercorsoESvuotaLoStatoDellaCorsaPrecedente) {
  app_.scrivi("AMB01.txt", "");
  apri();
  finestra_->imposta_struttura("VECCHIA");
  finestra_->abilita_stampa(true);
  clic_file("AMB01.txt");

  const QString atteso = QDir::toNativeSeparators(da_percorso(app_.percorso())) + QDir::separator() + "AMB01.txt";
  EXPECT_EQ(da_percorso(finestra_->percorso_file()), atteso);
  EXPECT_EQ(controllo<QPlainTextEdit>("Text1")->toPlainText(), "Apertura File : " + atteso);
  EXPECT_EQ(finestra_->testo_stato(), utf8_a_cp1252(("Apertura File : " + atteso).toStdString()));
  EXPECT_EQ(controllo<QLineEdit>("Text2")->text(), "");
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());
  // Moving through the list with the keyboard picks the file too.
  app_.scrivi("AMB02.txt", "");
  finestra_->cambia_cartella(finestra_->cartella_corrente());
  auto* lista = controllo<QListWidget>("File1");
  lista->setFocus();
  lista->setCurrentRow(0);
  QTest::keyClick(lista, Qt::Key_Down);
  EXPECT_EQ(controllo<QPlainTextEdit>("Text1")->toPlainText(),
            "Apertura File : " + QDir::toNativeSeparators(da_percorso(app_.percorso())) + QDir::separator() + "AMB02.txt");
}

TEST_F(FormImportTest, CambiareCartellaAggiornaIFileESpegneIlPulsanteDegliErrori) {
  fs::create_directory(app_ / "sotto");
  app_.scrivi("sotto/dentro.txt", "");
  app_.scrivi("fuori.txt", "");
  apri();
  finestra_->abilita_stampa(true);
  auto* dir1 = controllo<QListWidget>("Dir1");
  const auto sotto = dir1->findItems("sotto", Qt::MatchEndsWith);
  ASSERT_EQ(sotto.size(), 1);
  dir1->setFocus();
  dir1->setCurrentItem(sotto[0]);
  QTest::keyClick(dir1, Qt::Key_Return);
  EXPECT_EQ(voci("File1"), QStringList{"dentro.txt"});
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());
  EXPECT_TRUE(finestra_->cartella_corrente().endsWith("sotto"));
  EXPECT_EQ(voci("Dir1").back(), "sotto");

  // Back up one level through the folder above.
  dir1->setCurrentRow(dir1->count() - 2);
  QTest::keyClick(dir1, Qt::Key_Return);
  EXPECT_EQ(voci("File1"), QStringList{"fuori.txt"});
  // A folder that has gone leaves the lists as they were.
  finestra_->cambia_cartella(da_percorso(app_ / "sparita"));
  EXPECT_EQ(voci("File1"), QStringList{"fuori.txt"});
}

TEST_F(FormImportTest, UnFileCorrettoDaGliStessiEsitiDellaRigaDiComando) {
  // An empty file with a valid month: no facility to find; on No the run reaches the end at
  // once and the file is correct.
  app_.scrivi("AMB03.txt", "");
  apri();
  clic_file("AMB03.txt");
  RisposteModali risposte;
  risposte.premi(QMessageBox::No);
  controlla(risposte);

  ASSERT_EQ(risposte.visti().size(), 1u);
  const prova::BoxVisto& d = risposte.visti()[0];
  EXPECT_EQ(d.testo, "STRUTTURA NON TROVATA! Vuole inserirla ");
  EXPECT_EQ(d.titolo, "");
  EXPECT_EQ(d.icona, QMessageBox::Question);
  EXPECT_EQ(d.pulsanti, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(d.etichette, QStringList({QString::fromUtf8("&S\xc3\xac"), "&No"}));

  const QStringList righe = righe_stato();
  ASSERT_GE(righe.size(), 3);
  EXPECT_EQ(righe[1], "IL FILE E' CORRETTO");
  EXPECT_EQ(righe[2], "Ricette lette    nr ");
  EXPECT_EQ(righe, righe_riga_di_comando(da_percorso(finestra_->percorso_file())));
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(fs::exists(app_ / "errori.RPT"));
}

TEST_F(FormImportTest, IlMeseNonDefinitoAccendeIlPulsanteDegliErrori) {
  app_.scrivi("AMB13.txt", "");
  apri();
  clic_file("AMB13.txt");
  RisposteModali risposte;
  risposte.premi(QMessageBox::No).premi(QMessageBox::Ok);
  controlla(risposte);

  ASSERT_EQ(risposte.visti().size(), 2u);
  const prova::BoxVisto& m = risposte.visti()[1];
  EXPECT_EQ(m.testo, "NEL FILE IL MESE NON E'DEFINITO");
  EXPECT_EQ(m.titolo, QString::fromLatin1(titolo_applicazione));
  EXPECT_EQ(m.icona, QMessageBox::NoIcon);
  EXPECT_EQ(m.pulsanti, QMessageBox::Ok);
  EXPECT_EQ(m.etichette, QStringList{"OK"});
  EXPECT_TRUE(pulsante("Comm_st")->isEnabled());
  EXPECT_EQ(righe_stato(), righe_riga_di_comando(da_percorso(finestra_->percorso_file())));
  // Choosing the file again puts the button out again.
  clic_file("AMB13.txt");
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());
}

TEST_F(FormImportTest, IFileDiEsempioDannoGliStessiEsitiDellaRigaDiComando) {
  // The bundled sample folder: tables built from their sources, a correct file and one with
  // errors.
  const fs::path sorgenti = FLUSSOM_SORGENTI;
  QProcess tabelle;
  tabelle.start(QStringLiteral(FLUSSOM_BIN), {QStringLiteral("tabelle"), QStringLiteral("costruisci"),
                                              da_percorso(sorgenti / "tabelle"), da_percorso(app_.percorso())});
  ASSERT_TRUE(tabelle.waitForFinished(60000));
  ASSERT_EQ(tabelle.exitCode(), 0) << tabelle.readAllStandardError().toStdString();
  for (const auto& f : fs::directory_iterator(sorgenti / "esempi")) fs::copy_file(f.path(), app_.percorso() / f.path().filename());
  apri();
  const QStringList file = voci("File1");
  ASSERT_EQ(file.size(), 2);

  clic_file(file[0]);
  RisposteModali nessuna;
  controlla(nessuna);
  EXPECT_EQ(righe_stato().value(1), "IL FILE E' CORRETTO");
  EXPECT_EQ(righe_stato().size(), 8);
  EXPECT_EQ(righe_stato(), righe_riga_di_comando(da_percorso(finestra_->percorso_file())));
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());

  clic_file(file[1]);
  controlla(nessuna);
  EXPECT_EQ(righe_stato().back(), "Il file contiene ERRORI rilevanti");
  EXPECT_EQ(righe_stato(), righe_riga_di_comando(da_percorso(finestra_->percorso_file())));
  EXPECT_TRUE(pulsante("Comm_st")->isEnabled());
  EXPECT_TRUE(nessuna.visti().empty());

  // A picture of the window after a run that found errors, for a person to look at.
  const QString immagine = QStringLiteral(FLUSSOM_UI_ARTEFATTI) + "/finestra_dopo_errori.png";
  EXPECT_TRUE(finestra_->grab().save(immagine)) << immagine.toStdString();
}

TEST_F(FormImportTest, UnFileConErroriMostraStrutturaAvanzamentoEVerdetto) {
  app_.scrivi("strutture.DAT", record_ambulatorio);
  app_.scrivi("AMB05.txt", riga("123456", "0000000000000001", "01") + "\r\n" +
                               riga("123456", "0000000000000001", "99") + "\r\n" +
                               riga("123456", "0000000000000002", "99") + "\r\n");
  apri();
  clic_file("AMB05.txt");
  auto* barra = controllo<QProgressBar>("ProgressBar1");
  ContaPitture pitture(barra);
  RisposteModali risposte;  // the facility is registered: no question
  controlla(risposte);

  EXPECT_EQ(righe_stato().back(), "Il file contiene ERRORI rilevanti");
  EXPECT_EQ(righe_stato(), righe_riga_di_comando(da_percorso(finestra_->percorso_file())));
  EXPECT_EQ(controllo<QLineEdit>("Text2")->text(), "AMBULATORIO");
  EXPECT_TRUE(pulsante("Comm_st")->isEnabled());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  // 672 bytes / 222 = 3 lines; the bar was painted as it went, though the run never yielded.
  EXPECT_EQ(barra->minimum(), 0);
  EXPECT_EQ(barra->maximum(), 3);
  EXPECT_EQ(barra->value(), 3);
  EXPECT_GE(pitture.pitture, 3);


  // A second run without choosing the file again appends its outcome to the first one's.
  const qsizetype prima = righe_stato().size();
  controlla(risposte);
  EXPECT_EQ(righe_stato().size(), 2 * prima - 1);
}

TEST_F(FormImportTest, LaStrutturaRegistrataDuranteLaCorsaVieneTrovataSubitoDopo) {
  app_.scrivi("AMB07.txt", riga("123456", "0000000000000001", "99") + "\r\n");
  apri();
  clic_file("AMB07.txt");
  auto registra = [](const char* codice, const char* nome, const char* branca) {
    return [=](QWidget* w) {
      auto* f = qobject_cast<Form_dati*>(w);
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->findChild<QLineEdit*>("Text1")->text(), "123456");
      if (codice != nullptr) {
        f->findChild<QLineEdit*>("Text1")->clear();
        QTest::keyClicks(f->findChild<QLineEdit*>("Text1"), codice);
      }
      QTest::keyClicks(f->findChild<QLineEdit*>("Text2"), nome);
      QTest::keyClicks(f->findChild<QLineEdit*>("Text3"), branca);
      f->findChild<QPushButton*>("Command1")->click();
    };
  };
  // The first registration gives the wrong code: the run asks again.
  RisposteModali risposte;
  risposte.premi(QMessageBox::Yes)
      .poi(registra("654321", "altra", "01"))
      .premi(QMessageBox::Yes)
      .poi(registra(nullptr, "ambulatorio", "02"));
  controlla(risposte);

  EXPECT_EQ(app_.leggi("strutture.DAT"),
            "\"654321\",\"ALTRA\",\"01\",\"\",\"\"\r\n" + record_ambulatorio);
  EXPECT_EQ(controllo<QLineEdit>("Text2")->text(), "AMBULATORIO");
  // Two questions and no "STRUTTURA NON TROVATA": the run read the file to its end.
  EXPECT_EQ(risposte.visti().size(), 2u);
  EXPECT_EQ(righe_stato().back(), "Il file contiene ERRORI rilevanti");

  // The next run finds it without asking.
  RisposteModali nessuna;
  controlla(nessuna);
  EXPECT_TRUE(nessuna.visti().empty());
  EXPECT_EQ(controllo<QLineEdit>("Text2")->text(), "AMBULATORIO");
}

TEST_F(FormImportTest, LaRegistrazioneChiusaSenzaRegistrareRichiedeEPoiLaCorsaSiFerma) {
  app_.scrivi("AMB07.txt", riga("123456", "0000000000000001", "99") + "\r\n");
  apri();
  clic_file("AMB07.txt");
  RisposteModali risposte;
  risposte.premi(QMessageBox::Yes)
      .poi([](QWidget* w) { static_cast<QDialog*>(w)->reject(); })
      .premi(QMessageBox::No)
      .premi(QMessageBox::Ok);
  controlla(risposte);
  ASSERT_EQ(risposte.visti().size(), 3u);
  EXPECT_EQ(risposte.visti()[2].testo, "STRUTTURA NON TROVATA");
  EXPECT_FALSE(fs::exists(app_ / "strutture.DAT"));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FormImportTest, UnMessaggioDuranteLaCorsaMostraLeRigheGiaAggiunte) {
  app_.scrivi("strutture.DAT", record_ambulatorio);
  const std::string chiusura = riga("123456", "0000000000000001", "99");
  app_.scrivi("AMB05.txt", chiusura + "\r\n" + chiusura.substr(0, 221) + "\r\n" +
                               riga("999999", "0000000000000002", "01") + "\r\n");
  apri();
  clic_file("AMB05.txt");
  QString durante;
  RisposteModali risposte;
  risposte.poi([&](QWidget* w) {
    durante = controllo<QPlainTextEdit>("Text1")->toPlainText();
    static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
  });
  controlla(risposte);
  ASSERT_EQ(risposte.visti().size(), 1u);
  EXPECT_EQ(risposte.visti()[0].testo, "STRUTTURA NON TROVATA");
  EXPECT_TRUE(durante.endsWith("\nLunghezza file ERRATA")) << durante.toStdString();
  EXPECT_EQ(righe_stato(), righe_riga_di_comando(da_percorso(finestra_->percorso_file())));
  EXPECT_TRUE(pulsante("Comm_st")->isEnabled());
}

TEST_F(FormImportTest, FineProceduraChiudeLaFinestra) {
  app_.scrivi("AMB07.txt", riga("123456", "0000000000000001", "99") + "\r\n");
  apri();
  clic_file("AMB07.txt");
  QSignalSpy fine(finestra_.get(), &Form_import::programma_terminato);
  RisposteModali risposte;
  risposte.premi(QMessageBox::Yes).poi([](QWidget* w) {
    w->findChild<QPushButton*>("Com_fine")->click();
  });
  controlla(risposte);
  EXPECT_EQ(fine.count(), 1);
  EXPECT_FALSE(finestra_->isVisible());
  EXPECT_FALSE(fs::exists(app_ / "strutture.DAT"));
}

TEST_F(FormImportTest, SenzaFileSceltoLaCorsaNonLeggeNulla) {
  apri();
  RisposteModali risposte;
  controlla(risposte);
  EXPECT_TRUE(risposte.visti().empty());
  EXPECT_EQ(QApplication::focusWidget(), pulsante("Com_fine"));
  EXPECT_FALSE(pulsante("Comm_st")->isEnabled());
  EXPECT_EQ(finestra_->testo_stato(), "");
}

#ifndef _WIN32
TEST_F(FormImportTest, VisualizzaEStampaErroriApreIlReportNellEditorEAttende) {
  // A stand-in for the editor, first in PATH: it writes down its arguments.
  CartellaTemporanea bin;
  const fs::path editore = bin.scrivi("gedit", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.argomenti\"\n");
  fs::permissions(editore, fs::perms::owner_all);
  const QByteArray path_prima = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(da_percorso(bin.percorso())) + ":" + path_prima);

  app_.scrivi("AMB13.txt", "");
  apri();
  clic_file("AMB13.txt");
  RisposteModali risposte;
  risposte.premi(QMessageBox::No).premi(QMessageBox::Ok);
  controlla(risposte);
  ASSERT_TRUE(pulsante("Comm_st")->isEnabled());
  pulsante("Comm_st")->click();
  qputenv("PATH", path_prima);

  EXPECT_EQ(bin.leggi("gedit.argomenti"),
            "--standalone\n--encoding=WINDOWS-1252\n" + (app_ / "errori.RPT").string() + "\n");
  EXPECT_TRUE(pulsante("Comm_st")->isEnabled());
}
#endif

}  // namespace
}  // namespace flussom

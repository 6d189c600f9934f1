#include "ui/form_dati.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/cartella_temporanea.h"
#include "ui/prova_modali.h"

namespace flussom {
namespace {

using prova::CartellaTemporanea;

class FormDatiTest : public ::testing::Test {
 protected:
  void apri(std::string_view codstru = "123456") {
    finestra_ = std::make_unique<Form_dati>(cartella_.percorso(), codstru);
    finestra_->show();
    finestra_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(finestra_.get()));
  }
  // Types text that may hold characters outside ASCII, one key press each.
  static void digita(QWidget* w, const QString& testo) {
    for (QChar c : testo) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  QLineEdit* casella(const char* nome) { return finestra_->findChild<QLineEdit*>(nome); }
  QPushButton* pulsante(const char* nome) { return finestra_->findChild<QPushButton*>(nome); }
  std::string strutture() const { return cartella_.leggi("strutture.DAT"); }

  CartellaTemporanea cartella_;
  std::unique_ptr<Form_dati> finestra_;
};

TEST_F(FormDatiTest, MostraEtichetteLunghezzeEIlCodiceDellaStrutturaMancante) {
  apri("123456");
  EXPECT_EQ(finestra_->windowTitle(), "Inserimento Dati Struttura");
  EXPECT_EQ(finestra_->findChild<QLabel*>("Label1")->text(), "Codice Struttura");
  EXPECT_EQ(finestra_->findChild<QLabel*>("Label2")->text(), "Denominazione ");
  EXPECT_EQ(finestra_->findChild<QLabel*>("Label3")->text(), "Codice Branca");
  EXPECT_EQ(pulsante("Com_fine")->text(), "Fine Procedura");
  EXPECT_EQ(pulsante("Command1")->text(), "Registra");
  EXPECT_FALSE(pulsante("Com_fine")->icon().isNull());
  EXPECT_FALSE(pulsante("Command1")->icon().isNull());
  EXPECT_EQ(QApplication::focusWidget(), casella("Text1"));
  EXPECT_EQ(casella("Text1")->text(), "123456");

  // Longest texts: a key typed into a full box is refused, wherever the cursor stands.
  const std::pair<const char*, int> massimi[] = {{"Text1", 6}, {"Text2", 30}, {"Text3", 2}, {"Text4", 2}, {"Text5", 2}};
  for (auto [nome, massimo] : massimi) {
    QLineEdit* c = casella(nome);
    const QChar tasto = c == casella("Text2") ? QLatin1Char('M') : QLatin1Char('7');
    c->clear();
    QTest::keyClicks(c, QString(massimo + 3, tasto));
    EXPECT_EQ(c->text(), QString(massimo, tasto)) << nome;
    c->setCursorPosition(1);
    QTest::keyClicks(c, tasto);
    EXPECT_EQ(c->text(), QString(massimo, tasto)) << nome;
    EXPECT_EQ(c->cursorPosition(), 1) << nome;
  }
}

TEST_F(FormDatiTest, IlCodiceLettoDalFileEntraComeLoAccetterebbeLaCasella) {
  apri("12\"3A4");
  EXPECT_EQ(casella("Text1")->text(), "1234");
}

TEST_F(FormDatiTest, CodiceEBrancheAccettanoSoloCifre) {
  apri("");
  for (const char* nome : {"Text1", "Text3", "Text4", "Text5"}) {
    QLineEdit* c = casella(nome);
    QTest::keyClicks(c, "a1 b\",.-/2");
    EXPECT_EQ(c->text(), "12") << nome;
    QTest::keyClick(c, Qt::Key_Backspace);
    EXPECT_EQ(c->text(), "1") << nome;
  }
  QTest::keyClicks(casella("Text1"), "2345678");
  EXPECT_EQ(casella("Text1")->text(), "123456");
}

TEST_F(FormDatiTest, LaDenominazioneVaInMaiuscoloESenzaPunteggiaturaCifreEVirgolette) {
  apri();
  QLineEdit* c = casella("Text2");
  QTest::keyClicks(c, "via roma");
  EXPECT_EQ(c->text(), "VIA ROMA");
  QTest::keyClicks(c, ",.-/0123456789\"");
  EXPECT_EQ(c->text(), "VIA ROMA");
  digita(c, QString::fromLatin1(" d'\xe8(x)"));  // accented letters stay as typed
  EXPECT_EQ(c->text(), QString::fromUtf8("VIA ROMA D'\xc3\xa8(X)"));
  // A character that Windows-1252 has is kept; one that it lacks cannot be stored.
  QTest::sendKeyEvent(QTest::Click, c, Qt::Key_unknown, QString::fromUtf8("\xe2\x82\xac"), Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Click, c, Qt::Key_unknown, QString::fromUtf8("\xc5\x82"), Qt::NoModifier);
  EXPECT_EQ(c->text(), QString::fromUtf8("VIA ROMA D'\xc3\xa8(X)\xe2\x82\xac"));
}

TEST_F(FormDatiTest, IlTestoIncollatoPassaLeStesseRegole) {
  apri("");
  // Filtered first, then cut to the room left.
  QApplication::clipboard()->setText(QStringLiteral("ab\"12,3 4"));
  casella("Text1")->paste();
  EXPECT_EQ(casella("Text1")->text(), "1234");
  casella("Text3")->paste();
  EXPECT_EQ(casella("Text3")->text(), "12");
  casella("Text1")->setCursorPosition(2);
  casella("Text1")->paste();
  EXPECT_EQ(casella("Text1")->text(), "121234");
  EXPECT_EQ(casella("Text1")->cursorPosition(), 4);

  QApplication::clipboard()->setText(QStringLiteral("Casa di \"Cura\" s.r.l. 2bis"));
  QLineEdit* nome = casella("Text2");
  nome->setFocus();
  QTest::keyClick(nome, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(nome->text(), "CASA DI CURA SRL BIS");
  EXPECT_FALSE(nome->text().contains('"'));
  // Pasting in the middle keeps the cursor after the pasted text.
  nome->setText(QStringLiteral("AB"));
  nome->setCursorPosition(1);
  QApplication::clipboard()->setText(QStringLiteral("x1y"));
  nome->paste();
  EXPECT_EQ(nome->text(), "AXYB");
  EXPECT_EQ(nome->cursorPosition(), 3);
}

TEST_F(FormDatiTest, InvioPassaAlControlloSuccessivo) {
  apri();
  const char* ordine[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};
  casella("Text1")->setFocus();
  for (int i = 0; i < 5; ++i) {
    QWidget* attuale = QApplication::focusWidget();
    ASSERT_EQ(attuale, casella(ordine[i])) << "step " << i;
    QTest::keyClick(attuale, Qt::Key_Return);
  }
  EXPECT_EQ(QApplication::focusWidget(), pulsante("Com_fine"));
  QTest::keyClick(pulsante("Com_fine"), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), pulsante("Command1"));
  // Enter never reaches the buttons from a box, so nothing was registered or closed.
  EXPECT_TRUE(finestra_->isVisible());
  EXPECT_EQ(strutture(), "");
}

TEST_F(FormDatiTest, RegistraSenzaCodiceOSenzaPrimaBrancaNonFaNulla) {
  apri("");
  QSignalSpy chiusa(finestra_.get(), &QDialog::finished);
  QTest::keyClicks(casella("Text2"), "ambulatorio");
  QTest::keyClicks(casella("Text3"), "02");
  pulsante("Command1")->click();  // no code
  casella("Text3")->clear();
  QTest::keyClicks(casella("Text1"), "123456");
  QTest::keyClicks(casella("Text4"), "05");
  pulsante("Command1")->click();  // no first specialty, though the second is there
  EXPECT_TRUE(finestra_->isVisible());
  EXPECT_EQ(chiusa.count(), 0);
  EXPECT_FALSE(std::filesystem::exists(cartella_ / "strutture.DAT"));
}

TEST_F(FormDatiTest, RegistraAggiungeIlRecordEChiude) {
  cartella_.scrivi("strutture.DAT", "\"000001\",\"ALTRA\",\"01\",\"\",\"\"\r\n");
  apri("123456");
  QSignalSpy chiusa(finestra_.get(), &QDialog::finished);
  QTest::keyClicks(casella("Text2"), "ambulatorio");
  QTest::keyClicks(casella("Text3"), "02");
  pulsante("Command1")->click();
  ASSERT_EQ(chiusa.count(), 1);
  EXPECT_EQ(chiusa.at(0).at(0).toInt(), Form_dati::registrata);
  EXPECT_FALSE(finestra_->isVisible());
  EXPECT_EQ(strutture(),
            "\"000001\",\"ALTRA\",\"01\",\"\",\"\"\r\n"
            "\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n");

  // The same code registered again is simply appended once more.
  apri("123456");
  digita(casella("Text2"), QString::fromLatin1("  poliambulatorio \xe8  "));
  QTest::keyClicks(casella("Text3"), "1");
  QTest::keyClicks(casella("Text4"), "2");
  QTest::keyClicks(casella("Text5"), "33");
  pulsante("Command1")->click();
  EXPECT_EQ(strutture(),
            "\"000001\",\"ALTRA\",\"01\",\"\",\"\"\r\n"
            "\"123456\",\"AMBULATORIO\",\"02\",\"\",\"\"\r\n"
            "\"123456\",\"POLIAMBULATORIO \xe8\",\"1\",\"2\",\"33\"\r\n");
}

TEST_F(FormDatiTest, FineProceduraChiedeLaFineDelProgrammaSenzaScrivere) {
  apri();
  QSignalSpy chiusa(finestra_.get(), &QDialog::finished);
  QTest::keyClicks(casella("Text3"), "02");
  pulsante("Com_fine")->click();
  ASSERT_EQ(chiusa.count(), 1);
  EXPECT_EQ(chiusa.at(0).at(0).toInt(), Form_dati::fine_procedura);
  EXPECT_FALSE(std::filesystem::exists(cartella_ / "strutture.DAT"));
}

TEST_F(FormDatiTest, UnaTabellaNonScrivibileLasciaLaFinestraAperta) {
  finestra_ = std::make_unique<Form_dati>(cartella_ / "non-esiste", "123456");
  finestra_->show();
  QSignalSpy chiusa(finestra_.get(), &QDialog::finished);
  QTest::keyClicks(finestra_->findChild<QLineEdit*>("Text3"), "02");
  prova::RisposteModali risposte;
  risposte.premi(QMessageBox::Ok);
  QTimer::singleShot(0, finestra_.get(), [this] { pulsante("Command1")->click(); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return risposte.restanti() == 0; }, 5000));
  ASSERT_EQ(risposte.visti().size(), 1u);
  EXPECT_TRUE(risposte.visti()[0].testo.startsWith("Impossibile scrivere strutture.DAT"));
  EXPECT_TRUE(finestra_->isVisible());
  EXPECT_EQ(chiusa.count(), 0);
}

}  // namespace
}  // namespace flussom

#include "ui/form_dati.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/cartella_temporanea.h"
#include "ui/prova_modali.h"

namespace flussom {
namespace {

class FormDatiTest : public ::testing::Test {
 protected:
  void apri(std::string_view codstru, const std::filesystem::path& cartella = {}) {
    finestra_ = std::make_unique<Form_dati>(cartella.empty() ? cartella_.percorso() : cartella, codstru);
    finestra_->show();
    finestra_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(finestra_.get()));
  }
  // One key press for each character, non-ASCII ones too.
  void digita(const char* casella, const QString& testo) {
    for (QChar c : testo)
      QTest::sendKeyEvent(QTest::Click, this->casella(casella), Qt::Key_unknown, c, Qt::NoModifier);
  }
  QLineEdit* casella(const char* nome) { return finestra_->findChild<QLineEdit*>(nome); }
  QPushButton* pulsante(const char* nome) { return finestra_->findChild<QPushButton*>(nome); }

  prova::CartellaTemporanea cartella_;
  std::unique_ptr<Form_dati> finestra_;
};

TEST_F(FormDatiTest, AtStartShowsTheCodeAsTheBoxWouldTakeItAndEnterMovesOn) {
  apri("12\"3A4");
  EXPECT_EQ(casella("Text1")->text(), "1234");
  for (const char* nome : {"Text1", "Text2", "Text3", "Text4", "Text5"}) {
    ASSERT_EQ(QApplication::focusWidget(), casella(nome)) << nome;
    QTest::keyClick(casella(nome), Qt::Key_Return);
  }
  // From "Fine Procedura" too Enter moves on, ending nothing; Space presses it.
  ASSERT_EQ(QApplication::focusWidget(), pulsante("Com_fine"));
  QTest::keyClick(pulsante("Com_fine"), Qt::Key_Enter);
  EXPECT_EQ(QApplication::focusWidget(), pulsante("Command1"));
  EXPECT_TRUE(finestra_->isVisible());
  pulsante("Com_fine")->setFocus();
  QTest::keyClick(pulsante("Com_fine"), Qt::Key_Space);
  EXPECT_EQ(finestra_->result(), Form_dati::fine_procedura);
}

TEST_F(FormDatiTest, KeysPassTheRulesAndTheLengthOfTheBox) {
  apri("");
  const struct { const char* casella; const char* digitato; const char* atteso; } filtri[] = {
      {"Text1", "a1 b\",.-/2", "12"},
      {"Text3", "x\"0.9", "09"},
      {"Text4", "-1,", "1"},
      {"Text5", "/ 2Z", "2"},
      // Windows-1252 has the euro sign but no l with stroke.
      {"Text2", "via roma,.-/0123456789\" d'\xc3\xa8(x)\xe2\x82\xac\xc5\x82",
       "VIA ROMA D'\xc3\xa8(X)\xe2\x82\xac"},
  };
  for (const auto& f : filtri) {
    digita(f.casella, QString::fromUtf8(f.digitato));
    EXPECT_EQ(casella(f.casella)->text(), QString::fromUtf8(f.atteso)) << f.casella;
  }
  QTest::keyClick(casella("Text1"), Qt::Key_Backspace);
  EXPECT_EQ(casella("Text1")->text(), "1");

  // A key typed into a full box is refused, wherever the cursor stands.
  for (auto [nome, massimo] :
       {std::pair{"Text1", 6}, {"Text2", 30}, {"Text3", 2}, {"Text4", 2}, {"Text5", 2}}) {
    const QChar tasto = nome == std::string_view("Text2") ? 'M' : '7';
    casella(nome)->clear();
    digita(nome, QString(massimo + 3, tasto));
    casella(nome)->setCursorPosition(1);
    digita(nome, tasto);
    EXPECT_EQ(casella(nome)->text(), QString(massimo, tasto)) << nome;
    EXPECT_EQ(casella(nome)->cursorPosition(), 1) << nome;
  }
}

TEST_F(FormDatiTest, PastedTextPassesTheSameRules) {
  apri("");
  // Ctrl+V with the cursor at `cursore` in `prima`: the cursor ends after the text brought in.
  const struct { const char *casella, *prima; int cursore; const char *testo, *atteso; } casi[] = {
      {"Text1", "1234", 2, "ab\"12,3 4", "121234"},  // cut to the room left
      {"Text2", "", 0, "Casa di \"Cura\" s.r.l. 2bis", "CASA DI CURA SRL BIS"},
      {"Text2", "AB", 1, "x1y", "AXYB"},
      {"Text2", "", 0, "a\x7f\xc2\x81\xc2\x9d\xc2\x85" "b\tc", "ABC"},  // DEL, C1 controls
  };
  for (const auto& c : casi) {
    QLineEdit* l = casella(c.casella);
    l->setText(c.prima);
    l->setFocus();
    l->setCursorPosition(c.cursore);
    QApplication::clipboard()->setText(QString::fromUtf8(c.testo));
    QTest::keyClick(l, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(l->text(), c.atteso) << c.testo;
    EXPECT_EQ(l->cursorPosition(), c.cursore + l->text().size() - qstrlen(c.prima)) << c.testo;
  }
}

TEST_F(FormDatiTest, RegisterWantsCodeAndFirstBranchThenAppendsTheExactRecord) {
  // The last record without a line break (as Notepad leaves it): the new one starts a line.
  const std::string prima = "\"000001\",\"ALTRA\",\"01\",\"\",\"\"";
  cartella_.scrivi("strutture.DAT", prima);
  apri("");
  QSignalSpy chiusa(finestra_.get(), &QDialog::finished);
  digita("Text2", QString::fromLatin1("  poliambulatorio \xe8  "));
  digita("Text3", "1");
  pulsante("Command1")->click();
  casella("Text3")->clear();
  digita("Text1", "123456");
  digita("Text4", "2");
  digita("Text5", "33");
  pulsante("Command1")->click();
  EXPECT_EQ(chiusa.count(), 0);
  EXPECT_EQ(cartella_.leggi("strutture.DAT"), prima);

  digita("Text3", "1");
  pulsante("Command1")->click();
  ASSERT_EQ(chiusa.count(), 1);
  EXPECT_EQ(chiusa.at(0).at(0).toInt(), Form_dati::registrata);
  EXPECT_EQ(cartella_.leggi("strutture.DAT"),
            prima + "\r\n\"123456\",\"POLIAMBULATORIO \xe8\",\"1\",\"2\",\"33\"\r\n");
}

TEST_F(FormDatiTest, ARefusedRegistrationSaysWhyAndLeavesTheWindowOpen) {
  const std::string tabella = "\"123456\",\"CITT\xC0 \x80\",\"01\",\"\",\"\"\r\n";
  cartella_.scrivi("strutture.DAT", tabella);
  // A table that cannot be written (the text goes on with the reason); a code registered
  // already, with its name as the table holds it.
  const struct { std::filesystem::path cartella; QString testo; bool intero; } casi[] = {
      {cartella_ / "non-esiste", QStringLiteral("Impossibile scrivere strutture.DAT : "), false},
      {cartella_.percorso(), QString::fromUtf8("Struttura 123456 gi\u00E0 registrata: CITT\u00C0 \u20AC"),
       true},
  };
  for (const auto& c : casi) {
    apri("123456", c.cartella);
    digita("Text2", "ALTRO");
    digita("Text3", "02");
    prova::RisposteModali risposte;
    risposte.premi(QMessageBox::Ok);
    pulsante("Command1")->click();
    ASSERT_EQ(risposte.visti().size(), 1u);
    const QString& testo = risposte.visti()[0].testo;
    EXPECT_TRUE(c.intero ? testo == c.testo : testo.startsWith(c.testo)) << testo.toStdString();
    EXPECT_TRUE(finestra_->isVisible());
  }
  EXPECT_EQ(cartella_.leggi("strutture.DAT"), tabella);
}

}  // namespace
}  // namespace flussom

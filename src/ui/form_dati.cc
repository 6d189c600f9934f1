#include "ui/form_dati.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "base/cp1252.h"
#include "model/strutture.h"
#include "ui/box_messaggio.h"

namespace flussom {

namespace {

enum class Regola { codice, denominazione };

// The text in Windows-1252; a character without a Windows-1252 form cannot be stored in the
// table and is dropped.
std::string in_cp1252(const QString& testo) {
  std::string s;
  for (char32_t c : testo.toUcs4()) {
    if (auto b = utf8_a_cp1252_esatto(QString::fromUcs4(&c, 1).toStdString())) s += *b;
  }
  return s;
}

QString da_cp1252(std::string_view s) { return QString::fromStdString(cp1252_a_utf8(s)); }

std::string filtra(Regola regola, std::string_view testo) {
  constexpr std::size_t senza_limite = std::string::npos;
  return regola == Regola::codice ? filtra_testo_codice(testo, senza_limite)
                                  : filtra_testo_denominazione(testo, senza_limite);
}

// Every change of a box passes the rules of typed keys: what is pasted or dropped too, so no
// double quote can ever reach strutture.DAT. The box's longest length is kept here rather
// than by the box itself, which would cut a pasted text before it is filtered: the text
// brought in is cut to the room left, as a typed key is refused in a full box.
class FiltroCasella : public QValidator {
 public:
  FiltroCasella(Regola regola, std::size_t massimo, QObject* parent)
      : QValidator(parent), regola_(regola), massimo_(massimo) {}

  State validate(QString& testo, int& posizione) const override {
    // The cursor stands right after the text just brought in; what follows was there before.
    QString prima = da_cp1252(filtra(regola_, in_cp1252(testo.left(posizione))));
    const QString dopo = da_cp1252(filtra(regola_, in_cp1252(testo.mid(posizione))));
    const qsizetype spazio = std::max<qsizetype>(0, static_cast<qsizetype>(massimo_) - dopo.size());
    prima.truncate(spazio);
    const QString risultato = (prima + dopo).left(static_cast<qsizetype>(massimo_));
    if (risultato != testo) {
      testo = risultato;
      posizione = static_cast<int>(std::min(prima.size(), testo.size()));
    }
    return Acceptable;
  }

 private:
  Regola regola_;
  std::size_t massimo_;
};

}  // namespace

Form_dati::Form_dati(std::filesystem::path cartella, std::string_view codstru, QWidget* parent)
    : QDialog(parent), cartella_(std::move(cartella)) {
  setObjectName(QStringLiteral("Form_dati"));
  setWindowTitle(QStringLiteral("Inserimento Dati Struttura"));
  setModal(true);

  auto casella = [this](const char* nome, std::size_t massimo, Regola regola) {
    auto* c = new QLineEdit(this);
    c->setObjectName(QString::fromLatin1(nome));
    c->setProperty("lunghezza_massima", static_cast<int>(massimo));
    c->setValidator(new FiltroCasella(regola, massimo, c));
    c->installEventFilter(this);
    return c;
  };
  Text1_ = casella("Text1", max_codice_struttura, Regola::codice);
  Text2_ = casella("Text2", max_denominazione, Regola::denominazione);
  Text3_ = casella("Text3", max_branca, Regola::codice);
  Text4_ = casella("Text4", max_branca, Regola::codice);
  Text5_ = casella("Text5", max_branca, Regola::codice);
  const int larghezza_branca = Text3_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12;
  for (QLineEdit* b : {Text3_, Text4_, Text5_}) b->setFixedWidth(larghezza_branca);
  Text1_->setFixedWidth(Text1_->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
  Text2_->setMinimumWidth(Text2_->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('M'))));

  auto etichetta = [this](const char* nome, const char* testo) {
    auto* l = new QLabel(QString::fromLatin1(testo), this);
    l->setObjectName(QString::fromLatin1(nome));
    return l;
  };

  Com_fine_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("Fine Procedura"), this);
  Com_fine_->setObjectName(QStringLiteral("Com_fine"));
  Com_fine_->installEventFilter(this);
  Command1_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                              QStringLiteral("Registra"), this);
  Command1_->setObjectName(QStringLiteral("Command1"));

  auto* griglia = new QGridLayout;
  griglia->addWidget(etichetta("Label1", "Codice Struttura"), 0, 0);
  griglia->addWidget(Text1_, 0, 1, Qt::AlignLeft);
  griglia->addWidget(etichetta("Label2", "Denominazione "), 1, 0);
  griglia->addWidget(Text2_, 1, 1);
  griglia->addWidget(etichetta("Label3", "Codice Branca"), 2, 0);
  auto* branche = new QHBoxLayout;
  branche->addWidget(Text3_);
  branche->addWidget(Text4_);
  branche->addWidget(Text5_);
  branche->addStretch();
  griglia->addLayout(branche, 2, 1);
  auto* pulsanti = new QHBoxLayout;
  pulsanti->addWidget(Com_fine_);
  pulsanti->addStretch();
  pulsanti->addWidget(Command1_);
  auto* tutto = new QVBoxLayout(this);
  tutto->addLayout(griglia);
  tutto->addSpacing(12);
  tutto->addLayout(pulsanti);

  setTabOrder(Text1_, Text2_);
  setTabOrder(Text2_, Text3_);
  setTabOrder(Text3_, Text4_);
  setTabOrder(Text4_, Text5_);
  setTabOrder(Text5_, Com_fine_);
  setTabOrder(Com_fine_, Command1_);

  // The code of the facility just reported missing, as the code box would accept it.
  Text1_->setText(da_cp1252(filtra_testo_codice(codstru, max_codice_struttura)));
  Text1_->setFocus();

  connect(Command1_, &QPushButton::clicked, this, &Form_dati::registra);
  connect(Com_fine_, &QPushButton::clicked, this, [this] { done(fine_procedura); });
}

bool Form_dati::eventFilter(QObject* oggetto, QEvent* evento) {
  auto* casella = qobject_cast<QLineEdit*>(oggetto);
  if ((casella == nullptr && oggetto != Com_fine_) || evento->type() != QEvent::KeyPress)
    return QDialog::eventFilter(oggetto, evento);
  auto* tasto = static_cast<QKeyEvent*>(evento);

  // Enter moves on to the next control, as Tab does: from the last box to "Fine Procedura"
  // and from there on to "Registra", so that an Enter too many never ends the program and
  // loses what was typed. A click or Space still presses "Fine Procedura".
  if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) {
    focusNextChild();
    return true;
  }
  if (casella == nullptr) return false;

  // Editing keys and shortcuts (Backspace, arrows, Ctrl+V...) carry no printable character
  // and work as usual; what they bring in passes the box's validator.
  const QString testo = tasto->text();
  if (testo.isEmpty() || testo.at(0).unicode() < 0x20 || testo.at(0).unicode() == 0x7F)
    return false;
  const Qt::KeyboardModifiers m = tasto->modifiers();
  const bool alt_gr = (m & Qt::ControlModifier) && (m & Qt::AltModifier);  // so Windows reports it
  if ((m & (Qt::ControlModifier | Qt::MetaModifier)) && !alt_gr) return false;

  const std::string digitato = in_cp1252(testo);
  std::string accettato;
  for (char c : digitato) {
    const auto f = casella == Text2_ ? filtra_tasto_denominazione(c) : filtra_tasto_codice(c);
    if (f) accettato.push_back(*f);
  }
  if (!digitato.empty() && accettato == digitato) return false;  // the box takes the key as it is
  if (!accettato.empty()) casella->insert(da_cp1252(accettato));  // changed (upper case)
  return true;
}

void Form_dati::registra() {
  const DatiStruttura dati{in_cp1252(Text1_->text()), in_cp1252(Text2_->text()),
                           in_cp1252(Text3_->text()), in_cp1252(Text4_->text()),
                           in_cp1252(Text5_->text())};
  if (!registrazione_completa(dati)) return;
  std::string errore;
  const RegistrazioneStruttura esito = registra_struttura(cartella_, dati, errore);
  if (esito == RegistrazioneStruttura::registrata) {
    done(registrata);
    return;
  }
  // Nothing was written: say why and leave the window open, so the operator can try again
  // (another code) or end the procedure.
  const QString testo = esito == RegistrazioneStruttura::gia_registrata
                            ? da_cp1252(errore)
                            : QStringLiteral("Impossibile scrivere strutture.DAT : ") + da_cp1252(errore);
  QMessageBox box(QMessageBox::Warning, windowTitle(), testo, QMessageBox::Ok, this);
  esegui_box(box);
}

}  // namespace flussom

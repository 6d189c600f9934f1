// Test helper: answers, one after the other, the modal windows that an action opens (the
// run's question and message boxes, the registration window), and records every message
// box it saw.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace flussom::prova {

struct BoxVisto {
  QString titolo;
  QString testo;
  QMessageBox::Icon icona;
  QMessageBox::StandardButtons pulsanti;
  QStringList etichette;  // the buttons' texts, in the order of the standard buttons
  int larghezza = 0;      // the box's width on show
};

class RisposteModali : public QObject {
 public:
  using Risposta = std::function<void(QWidget*)>;

  RisposteModali();

  // The next modal window that appears gets this answer (one already on show when the
  // helper is made is not answered).
  RisposteModali& poi(Risposta risposta);
  // The next modal window is a message box: press `pulsante`.
  RisposteModali& premi(QMessageBox::StandardButton pulsante);

  const std::vector<BoxVisto>& visti() const { return visti_; }
  std::size_t restanti() const { return risposte_.size(); }

 private:
  void guarda();

  QTimer timer_;
  std::deque<Risposta> risposte_;
  std::vector<BoxVisto> visti_;
  QPointer<QWidget> ultima_;
};

}  // namespace flussom::prova

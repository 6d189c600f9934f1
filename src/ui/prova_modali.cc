#include "ui/prova_modali.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace flussom::prova {

RisposteModali::RisposteModali() : ultima_(QApplication::activeModalWidget()) {
  connect(&timer_, &QTimer::timeout, this, &RisposteModali::guarda);
  timer_.start(10);
}

RisposteModali& RisposteModali::poi(Risposta risposta) {
  risposte_.push_back(std::move(risposta));
  return *this;
}

RisposteModali& RisposteModali::premi(QMessageBox::StandardButton pulsante) {
  return poi([pulsante](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr) << "expected a message box, got " << w->metaObject()->className();
    ASSERT_NE(box->button(pulsante), nullptr) << box->text().toStdString();
    box->button(pulsante)->click();
  });
}

void RisposteModali::guarda() {
  QWidget* w = QApplication::activeModalWidget();
  if (w == nullptr || w == ultima_ || !w->isVisible()) return;
  ultima_ = w;
  if (auto* box = qobject_cast<QMessageBox*>(w)) {
    QStringList etichette;
    for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No})
      if (box->button(b) != nullptr) etichette << box->button(b)->text();
    visti_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(), etichette, box->width()});
  }
  if (risposte_.empty()) {
    ADD_FAILURE() << "unexpected modal window " << w->metaObject()->className() << " "
                  << w->windowTitle().toStdString();
    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    return;
  }
  Risposta r = std::move(risposte_.front());
  risposte_.pop_front();
  r(w);
}

}  // namespace flussom::prova

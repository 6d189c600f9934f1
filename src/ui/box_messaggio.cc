#include "ui/box_messaggio.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace flussom {

namespace {

// The room that the title bar's icon, buttons and margins take, beside the title's text.
constexpr int spazio_decorazioni = 170;

// The title bar's font is the window system's; the widgets' own font made bold and a fifth
// larger is a safe guess of it.
int larghezza_titolo(const QString& titolo) {
  QFont f = QApplication::font("QMdiSubWindowTitleBar");
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.2);
  return QFontMetrics(f).horizontalAdvance(titolo) + spazio_decorazioni;
}

}  // namespace

int esegui_box(QMessageBox& box) {
  if (auto* griglia = qobject_cast<QGridLayout*>(box.layout()))
    griglia->addItem(new QSpacerItem(larghezza_titolo(box.windowTitle().trimmed()), 0, QSizePolicy::Fixed),
                     griglia->rowCount(), 0, 1, griglia->columnCount());
  return box.exec();
}

}  // namespace flussom

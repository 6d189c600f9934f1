// The window's message boxes: their titles whole in the title bar, and no borrowed title.
#pragma once

#include <QMessageBox>

namespace flussom {

// A title that the window system shows as empty: an empty one would be replaced with the
// program's file name.
inline const QString titolo_vuoto = QStringLiteral(" ");

// Widens `box` so that the title bar shows its whole title beside the window system's
// buttons (a box takes its width from its text only), then shows it modally.
int esegui_box(QMessageBox& box);

}  // namespace flussom

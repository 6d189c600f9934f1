// The file list of the main window shows the data files of a folder: names with the
// extension txt (in any letter case) and names without an extension, the pattern "*.txt;*.".
#pragma once

#include <QString>
#include <QStringList>

namespace flussom {

bool corrisponde_modello_file(const QString& nome);

// The files of `cartella` that match the pattern, sorted by name regardless of case.
QStringList file_dati(const QString& cartella);

}  // namespace flussom

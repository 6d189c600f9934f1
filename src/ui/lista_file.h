// The file list of the main window shows the data files of a folder: names with the
// extension txt (in any letter case) and names without an extension, the pattern "*.txt;*.".
#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace flussom {

bool corrisponde_modello_file(const QString& nome);

// A file never offered, whatever its name: on POSIX systems one with an execute bit (the
// programs, named without an extension, lie in the application folder).
bool escluso_dalla_lista(const QFileInfo& file);

// The files of `cartella` that match the pattern, sorted by name regardless of case.
QStringList file_dati(const QString& cartella);

}  // namespace flussom

#include "ui/lista_file.h"

#include <QDir>

namespace flussom {

bool corrisponde_modello_file(const QString& nome) {
  const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
  // "*." matches a name without a dot, and a name ending in a dot (an empty extension).
  if (punto < 0 || punto == nome.size() - 1) return true;
  return nome.mid(punto + 1).compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

QStringList file_dati(const QString& cartella) {
  QStringList nomi;
  const QFileInfoList tutti = QDir(cartella).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& f : tutti)
    if (corrisponde_modello_file(f.fileName()) && !escluso_dalla_lista(f)) nomi.append(f.fileName());
  return nomi;
}

}  // namespace flussom

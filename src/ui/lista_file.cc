#include "ui/lista_file.h"

#include <QDir>

#include "base/testo.h"

namespace flussom {

bool corrisponde_modello_file(const QString& nome) { return nome_file_dati(nome.toStdString()); }

QStringList file_dati(const QString& cartella) {
  QStringList nomi;
  const QFileInfoList tutti = QDir(cartella).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& f : tutti)
    if (corrisponde_modello_file(f.fileName()) && !escluso_dalla_lista(f)) nomi.append(f.fileName());
  return nomi;
}

}  // namespace flussom

#include "ui/percorsi.h"

#include <QDir>
#include <QFile>

namespace flussom {

std::filesystem::path a_percorso(const QString& testo) {
#ifdef _WIN32
  return std::filesystem::path(testo.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(testo).toStdString());
#endif
}

QString da_percorso(const std::filesystem::path& percorso) {
#ifdef _WIN32
  return QString::fromStdWString(percorso.native());
#else
  return QFile::decodeName(QByteArray::fromStdString(percorso.native()));
#endif
}

QString unisci_percorso(const QString& cartella, const QString& nome) {
  const QChar separatore = QDir::separator();
  if (cartella.endsWith(separatore)) return cartella + nome;
  return cartella + separatore + nome;
}

}  // namespace flussom

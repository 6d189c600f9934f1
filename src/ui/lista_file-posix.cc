#include "ui/lista_file.h"

#include <QFile>

namespace flussom {

bool escluso_dalla_lista(const QFileInfo& file) {
  return (file.permissions() & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther)) != 0;
}

}  // namespace flussom

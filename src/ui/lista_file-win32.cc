#include "ui/lista_file.h"

namespace flussom {

// Windows tells a program by its extension, which the pattern leaves out already.
bool escluso_dalla_lista(const QFileInfo&) { return false; }

}  // namespace flussom

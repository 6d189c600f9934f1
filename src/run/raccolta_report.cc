#include "run/raccolta_report.h"

#include <utility>

namespace flussom {

void RaccoltaReport::riga_report(const RigaReport& r) {
  if (r.tipo == TipoRigaReport::messaggio) {
    in_attesa_.push_back({std::string(r.testo), r.riga, r.regola});
  } else if (r.tipo == TipoRigaReport::blocco) {
    blocchi_.push_back({r.numero, std::string(r.ricetta), r.prima_riga, r.ultima_riga, std::move(in_attesa_)});
    in_attesa_.clear();
  }
}

}  // namespace flussom

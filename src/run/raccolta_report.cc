#include "run/raccolta_report.h"

#include <algorithm>
#include <utility>

namespace flussom {

void estendi_righe(std::int64_t& prima, std::int64_t& ultima, const std::vector<MessaggioReport>& messaggi) {
  for (const MessaggioReport& m : messaggi) {
    if (m.riga <= 0) continue;
    prima = std::min(prima, m.riga);
    ultima = std::max(ultima, m.riga);
  }
}

void RaccoltaReport::riga_report(const RigaReport& r) {
  if (r.tipo == TipoRigaReport::messaggio) {
    in_attesa_.push_back({std::string(r.testo), r.riga, r.regola});
  } else if (r.tipo == TipoRigaReport::blocco) {
    blocchi_.push_back({r.numero, std::string(r.ricetta), r.prima_riga, r.ultima_riga, std::move(in_attesa_)});
    estendi_righe(blocchi_.back().prima_riga, blocchi_.back().ultima_riga, blocchi_.back().messaggi);
    in_attesa_.clear();
  }
}

}  // namespace flussom

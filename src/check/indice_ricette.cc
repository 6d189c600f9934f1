#include "check/indice_ricette.h"

#include <algorithm>
#include <cstring>

namespace flussom {

IndiceRicette::Chiave IndiceRicette::chiave(std::string_view numero) {
  Chiave k;
  const std::size_t n = std::min<std::size_t>(numero.size(), 16);
  char byte[16] = {};
  if (n > 0) std::memcpy(byte, numero.data(), n);
  std::memcpy(k.parte, byte, sizeof byte);
  k.lunghezza = static_cast<std::uint8_t>(n);
  return k;
}

std::size_t IndiceRicette::posto(const Chiave& k) const {
  // Multiplicative mixing of both words; the high bits pick the slot.
  std::uint64_t h = k.parte[0] * 0x9E3779B97F4A7C15u ^ (k.parte[1] + k.lunghezza) * 0xC2B2AE3D27D4EB4Fu;
  h ^= h >> 31;
  h *= 0x94D049BB133111EBu;
  const std::size_t maschera = posti_.size() - 1;
  std::size_t i = static_cast<std::size_t>(h >> 32) & maschera;
  while (posti_[i].lunghezza != 0 && !(posti_[i] == k)) i = (i + 1) & maschera;
  return i;
}

void IndiceRicette::raddoppia() {
  std::vector<Chiave> vecchi(posti_.empty() ? 1024 : posti_.size() * 2);
  vecchi.swap(posti_);
  for (const Chiave& k : vecchi)
    if (k.lunghezza != 0) posti_[posto(k)] = k;
}

void IndiceRicette::aggiungi(std::string_view numero) {
  if (numero.empty()) return;
  const Chiave k = chiave(numero);
  if (k == ultima_) return;
  ultima_ = k;
  if ((quanti_ + 1) * 10 > posti_.size() * 7) raddoppia();
  Chiave& p = posti_[posto(k)];
  if (p.lunghezza == 0) {
    p = k;
    ++quanti_;
  }
}

bool IndiceRicette::contiene(std::string_view numero) const {
  if (numero.empty() || posti_.empty()) return false;
  return posti_[posto(chiave(numero))].lunghezza != 0;
}

}  // namespace flussom

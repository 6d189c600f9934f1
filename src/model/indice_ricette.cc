#include "model/indice_ricette.h"

#include <algorithm>
#include <cstring>

namespace flussom {

namespace {

// The fewest bytes a line takes: 222 characters and a line break.
constexpr std::uint64_t byte_minimi_per_riga = 223;
constexpr std::size_t posti_iniziali = 1024;

// Slots for `numeri` numbers, at most three in four used.
std::size_t posti_per(std::uint64_t numeri) {
  return static_cast<std::size_t>(std::max<std::uint64_t>(posti_iniziali, numeri + numeri / 3 + 1));
}

}  // namespace

IndiceRicette::IndiceRicette(const IndiceRicette& altro)
    : numero_posti_(altro.numero_posti_),
      posti_massimi_(altro.posti_massimi_),
      quanti_(altro.quanti_),
      ultima_(altro.ultima_) {
  if (numero_posti_ == 0) return;
  posti_.reset(new Chiave[numero_posti_]);
  std::copy(altro.posti_.get(), altro.posti_.get() + numero_posti_, posti_.get());
}

IndiceRicette& IndiceRicette::operator=(const IndiceRicette& altro) {
  if (this != &altro) {
    IndiceRicette copia(altro);
    std::swap(posti_, copia.posti_);
    numero_posti_ = copia.numero_posti_;
    posti_massimi_ = copia.posti_massimi_;
    quanti_ = copia.quanti_;
    ultima_ = copia.ultima_;
  }
  return *this;
}

IndiceRicette::Chiave IndiceRicette::chiave(std::string_view numero) {
  constexpr std::uint64_t blank = 0x2020202020202020u;
  Chiave k;
  if (numero.size() >= 16) {  // the usual number fills the field: two words, no padding
    std::memcpy(k.parte, numero.data(), 16);
    k.parte[0] ^= blank;
    k.parte[1] ^= blank;
    return k;
  }
  const std::size_t n = numero.size();
  unsigned char byte[16];
  std::memset(byte, ' ', sizeof byte);
  if (n > 0) std::memcpy(byte, numero.data(), n);
  std::memcpy(k.parte, byte, sizeof byte);
  k.parte[0] ^= blank;
  k.parte[1] ^= blank;
  return k;
}

std::size_t IndiceRicette::primo_posto(const Chiave& k) const {
  // Multiplicative mixing of both words; the high half of a 128-bit product picks the slot.
  std::uint64_t h = k.parte[0] * 0x9E3779B97F4A7C15u ^ k.parte[1] * 0xC2B2AE3D27D4EB4Fu;
  h ^= h >> 31;
  h *= 0x94D049BB133111EBu;
  h ^= h >> 29;
  return static_cast<std::size_t>((static_cast<unsigned __int128>(h) * numero_posti_) >> 64);
}

std::size_t IndiceRicette::posto(const Chiave& k) const {
  std::size_t i = primo_posto(k);
  while (!posti_[i].libera() && !(posti_[i] == k))
    if (++i == numero_posti_) i = 0;
  return i;
}

void IndiceRicette::ridimensiona(std::size_t posti) {
  std::unique_ptr<Chiave[]> vecchi(new Chiave[posti]());
  std::swap(vecchi, posti_);
  const std::size_t quanti_vecchi = numero_posti_;
  numero_posti_ = posti;
  for (std::size_t i = 0; i < quanti_vecchi; ++i)
    if (!vecchi[i].libera()) posti_[posto(vecchi[i])] = vecchi[i];
}

void IndiceRicette::prevedi(std::uint64_t byte) {
  const std::uint64_t righe = byte / byte_minimi_per_riga + 1;
  posti_massimi_ = posti_per(righe);
  const std::size_t posti = posti_per(righe / 4);
  if (posti > numero_posti_) ridimensiona(posti);
}

void IndiceRicette::aggiungi(std::string_view numero) {
  if (numero.empty()) return;
  const Chiave k = chiave(numero);
  if (k == ultima_) return;
  ultima_ = k;
  if (4 * (quanti_ + 1) > 3 * numero_posti_) {
    std::size_t posti = std::max(posti_iniziali, 2 * numero_posti_);
    // The last growth stops at the room the file could need. (Past it only when the file
    // holds lines shorter than the rule's, or grows while it is read.)
    if (posti_massimi_ > numero_posti_) posti = std::min(posti, posti_massimi_);
    ridimensiona(posti);
  }
  Chiave& p = posti_[posto(k)];
  if (p.libera()) {
    p = k;
    ++quanti_;
  }
}

void IndiceRicette::anticipa(std::string_view numero) const {
#if defined(__GNUC__)
  if (numero_posti_ > 0) __builtin_prefetch(&posti_[primo_posto(chiave(numero))]);
#else
  (void)numero;
#endif
}

bool IndiceRicette::contiene(std::string_view numero) const {
  if (numero.empty() || numero_posti_ == 0) return false;
  return !posti_[posto(chiave(numero))].libera();
}

}  // namespace flussom

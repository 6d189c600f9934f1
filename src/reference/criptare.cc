#include "reference/criptare.h"

#include <cstddef>

namespace flussom {

namespace {

// The four multipliers of a key, in the order of the passes that use them: k4, k3, k2, k1.
struct Moltiplicatori {
  std::int32_t k1, k2, k3, k4;
};

Moltiplicatori moltiplicatori(std::int32_t chiave) {
  return {chiave % 233 + 11, chiave % 239 + 7, chiave % 241 + 5, chiave % 251 + 3};
}

// Low byte of a byte value times a multiplier (the multiplier may be negative for a
// negative key: the low byte of the two's complement product is taken).
inline unsigned char per(unsigned char a, std::int32_t k) {
  return static_cast<unsigned char>(static_cast<std::uint32_t>(a * k) & 0xFFu);
}

inline unsigned char& a(std::string& t, std::size_t i) {  // 1-based
  return reinterpret_cast<unsigned char&>(t[i - 1]);
}

}  // namespace

void criptare(std::string& testo, std::int32_t chiave) {
  const std::size_t n = testo.size();
  const Moltiplicatori k = moltiplicatori(chiave);
  std::string& t = testo;
  // Each step reads only elements its own pass has not rewritten yet, so rewriting in place
  // in the pass's direction equals computing the pass from a copy.
  for (std::size_t i = 1; i + 2 <= n; ++i) a(t, i) ^= per(a(t, i + 1), k.k4) ^ a(t, i + 2);
  for (std::size_t i = n; i >= 3; --i) a(t, i) ^= per(a(t, i - 1), k.k3) ^ a(t, i - 2);
  for (std::size_t i = 1; i + 1 <= n; ++i) a(t, i) ^= per(a(t, i + 1), k.k2) ^ a(t, i + 1);
  for (std::size_t i = n; i >= 2; --i) a(t, i) ^= per(a(t, i - 1), k.k1) ^ a(t, i - 1);
}

void decriptare(std::string& testo, std::int32_t chiave) {
  const std::size_t n = testo.size();
  const Moltiplicatori k = moltiplicatori(chiave);
  std::string& t = testo;
  // The passes undone in reverse order, each in the opposite direction: a step then reads
  // elements that are already back to the values the forward step read.
  for (std::size_t i = 2; i <= n; ++i) a(t, i) ^= per(a(t, i - 1), k.k1) ^ a(t, i - 1);
  for (std::size_t i = n; i >= 2; --i) a(t, i - 1) ^= per(a(t, i), k.k2) ^ a(t, i);
  for (std::size_t i = 3; i <= n; ++i) a(t, i) ^= per(a(t, i - 1), k.k3) ^ a(t, i - 2);
  for (std::size_t i = n; i >= 3; --i) a(t, i - 2) ^= per(a(t, i - 1), k.k4) ^ a(t, i);
}

}  // namespace flussom

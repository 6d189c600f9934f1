// The keyed, length-preserving scrambling of the discounts stored in SCONTI.DAT.
#pragma once

#include <cstdint>
#include <string>

namespace flussom {

inline constexpr std::int32_t chiave_sconti = 1357924680;

// Rewrites `testo` in place as its transformation under `chiave`.
void criptare(std::string& testo, std::int32_t chiave = chiave_sconti);

// The inverse: criptare(decriptare(t)) == t. Used to store discounts.
void decriptare(std::string& testo, std::int32_t chiave = chiave_sconti);

}  // namespace flussom

// The prescription numbers met so far in the file, so that a ricetta whose number already
// occurred on an earlier line is found without reading the file again.
#pragma once

#include <array>
#include <cstring>
#include <string_view>
#include <unordered_set>

namespace flussom {

class IndiceRicette {
 public:
  // Numbers are at most 16 characters (the field's width); longer texts are cut.
  void aggiungi(std::string_view numero) {
    if (!numero.empty()) numeri_.insert(Chiave(numero));
  }
  bool contiene(std::string_view numero) const {
    return !numero.empty() && numeri_.count(Chiave(numero)) > 0;
  }
  std::size_t size() const { return numeri_.size(); }

 private:
  struct Chiave {
    explicit Chiave(std::string_view s) {
      lunghezza = static_cast<unsigned char>(s.size() < 16 ? s.size() : 16);
      std::memcpy(byte.data(), s.data(), lunghezza);
    }
    bool operator==(const Chiave& o) const {
      return lunghezza == o.lunghezza && std::memcmp(byte.data(), o.byte.data(), lunghezza) == 0;
    }
    std::array<char, 16> byte{};
    unsigned char lunghezza;
  };
  struct Hash {
    std::size_t operator()(const Chiave& k) const {
      // FNV-1a over the bytes in use.
      std::size_t h = 1469598103934665603ull;
      for (unsigned i = 0; i < k.lunghezza; ++i) {
        h ^= static_cast<unsigned char>(k.byte[i]);
        h *= 1099511628211ull;
      }
      return h;
    }
  };
  std::unordered_set<Chiave, Hash> numeri_;
};

}  // namespace flussom

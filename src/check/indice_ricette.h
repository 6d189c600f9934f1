// The prescription numbers met so far in the file, so that a ricetta whose number already
// occurred on an earlier line is found without reading the file again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace flussom {

class IndiceRicette {
 public:
  // Numbers are at most 16 characters (the field's width); longer texts are cut. A blank
  // number is never kept.
  void aggiungi(std::string_view numero);
  bool contiene(std::string_view numero) const;
  std::size_t size() const { return quanti_; }

 private:
  // A number's bytes in two words, zero after its end, and its length: compared and
  // hashed a word at a time. Length 0 marks a free slot.
  struct Chiave {
    std::uint64_t parte[2] = {0, 0};
    std::uint8_t lunghezza = 0;
    bool operator==(const Chiave&) const = default;
  };
  static Chiave chiave(std::string_view numero);
  // The slot that holds the key, or the free slot where it would go.
  std::size_t posto(const Chiave& k) const;
  void raddoppia();

  // Open addressing with linear probing over a power-of-two table kept at most 70 % full:
  // one run of neighbouring slots per lookup, no node per number. A new ricetta is looked
  // up in a large table every few lines; this keeps it to about one cache miss.
  std::vector<Chiave> posti_;
  std::size_t quanti_ = 0;
  Chiave ultima_;  // the number added last: the lines of a ricetta repeat it
};

}  // namespace flussom

// The prescription numbers met so far in the file, so that a ricetta whose number already
// occurred on an earlier line is found without reading the file again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace flussom {

class IndiceRicette {
 public:
  // Sizes the index for a data file of `byte` bytes. A file holds at most one number per
  // line; most ricette have several lines, so the index starts with room for a quarter of
  // that and grows by doubling, never past the room the whole file could need (a pipe, of
  // unknown length, starts small). 16 bytes a slot, at most three slots in four used.
  void prevedi(std::uint64_t byte);

  // Numbers are at most 16 characters (the field's width); longer texts are cut. A blank
  // number is never kept. Numbers are trimmed: a number never ends with a blank.
  void aggiungi(std::string_view numero);
  bool contiene(std::string_view numero) const;
  std::size_t size() const { return quanti_; }

  // Starts bringing the place of `numero` into the processor's cache, so that a lookup or
  // an addition of it a little later finds it there (the index is too large for the
  // cache: most lookups would otherwise wait for memory). Changes nothing.
  void anticipa(std::string_view numero) const;

  IndiceRicette() = default;
  IndiceRicette(const IndiceRicette& altro);
  IndiceRicette& operator=(const IndiceRicette& altro);

 private:
  // A number's 16 bytes, padded with blanks, each byte XOR 0x20: the padding becomes zero,
  // so an all-zero slot is free (the empty number is never kept) and a slot needs no
  // length beside it. Two numbers that differ only by trailing blanks would meet, but a
  // trimmed number has none.
  struct Chiave {
    std::uint64_t parte[2] = {0, 0};
    bool libera() const { return (parte[0] | parte[1]) == 0; }
    bool operator==(const Chiave&) const = default;
  };
  static Chiave chiave(std::string_view numero);
  // Where the search for a key starts.
  std::size_t primo_posto(const Chiave& k) const;
  // The slot that holds the key, or the free slot where it would go.
  std::size_t posto(const Chiave& k) const;
  void ridimensiona(std::size_t posti);

  // Open addressing with linear probing over a table of any size (the slot is picked by a
  // multiplication, not a mask): one run of neighbouring slots per lookup, no node per
  // number.
  std::unique_ptr<Chiave[]> posti_;
  std::size_t numero_posti_ = 0;
  std::size_t posti_massimi_ = 0;  // the room a whole file could need; 0: not known
  std::size_t quanti_ = 0;
  Chiave ultima_;  // the number added last: the lines of a ricetta repeat it
};

}  // namespace flussom

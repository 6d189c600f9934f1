#include "base/lettore_righe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "base/piattaforma.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

using Riga = std::pair<std::string, std::uint64_t>;  // kept start, whole length

std::vector<Riga> righe(const std::string& contenuto) {
  prova::CartellaTemporanea dir;
  auto p = dir.scrivi("dati.txt", contenuto);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_file(p, "rb"), &std::fclose);
  LettoreRighe l(f.get());
  std::vector<Riga> out;
  std::string_view s;
  std::uint64_t n;
  while (l.leggi(s, n)) {
    out.push_back({std::string(s), n});
    // What the block holds past the line is the file from where the next line starts.
    const std::string_view dopo = l.gia_letto();
    EXPECT_EQ(dopo, std::string_view(contenuto).substr(l.posizione(), dopo.size()));
  }
  EXPECT_FALSE(l.in_errore());
  return out;
}

TEST(LettoreRighe, EveryKindOfLineBreak) {
  const std::string a(1500, 'a'), b(700, 'b'), c(2000, 'c'), strani("a\0\xFF" "b", 4),
      lunga = "START" + std::string(3 << 20, 'q');
  const std::pair<std::string, std::vector<Riga>> casi[] = {
      {"a\r\nbb\rccc\nd", {{"a", 1}, {"bb", 2}, {"ccc", 3}, {"d", 1}}},
      // A break where the line before's length ends, and another before it.
      {"xyz\na\nb\nxyz\r\nab\r\r\n", {{"xyz", 3}, {"a", 1}, {"b", 1}, {"xyz", 3}, {"ab", 2}, {"", 0}}},
      {"a\n\nb\n", {{"a", 1}, {"", 0}, {"b", 1}}},
      {"a\r\r\n", {{"a", 1}, {"", 0}}},
      {"", {}},
      {strani + "\r\n", {{strani, 4}}},
      // Breaks far into long lines, past the first stretches looked at.
      {a + "\r" + b + "\n" + c + "\r\n", {{a, 1500}, {b, 700}, {c, 2000}}},
      {a + "\r" + b + "\r" + c, {{a, 1500}, {b, 700}, {c, 2000}}},
      // A very long line keeps its start and counts its whole length.
      {lunga + "\nfine\n", {{lunga.substr(0, LettoreRighe::byte_conservati), lunga.size()}, {"fine", 4}}},
  };
  for (std::size_t i = 0; i < std::size(casi); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(righe(casi[i].first), casi[i].second);
  }
}

TEST(LettoreRighe, CrLfSplitAtEveryBlockWhileBlocksGrow) {
  // Blocks double from blocco_iniziale to dimensione_blocco: a CR LF across each boundary.
  std::string contenuto(5 * LettoreRighe::dimensione_blocco, 'x');
  std::vector<std::uint64_t> attese;
  std::size_t inizio = 0;
  for (std::size_t b = LettoreRighe::blocco_iniziale, fine = b; fine < contenuto.size();
       b = std::min(b * 2, LettoreRighe::dimensione_blocco), fine += b) {
    contenuto[fine - 1] = '\r';
    contenuto[fine] = '\n';
    attese.push_back(fine - 1 - inizio);
    inizio = fine + 1;
  }
  attese.push_back(contenuto.size() - inizio);
  std::vector<std::uint64_t> lette;
  for (const Riga& r : righe(contenuto)) lette.push_back(r.second);
  EXPECT_EQ(lette, attese);
}

TEST(LettoreRighe, PreviewOfTheFirstLineReadsNoMoreThanAsked) {
  // The preview, how far the stream was read for it, then the lines as leggi() gives them.
  struct Caso {
    std::string contenuto;
    std::size_t massimo;
    std::string anteprima;
    std::vector<Riga> righe;
  };
  const Caso casi[] = {
      {"abcdefgh\r\nz", 5, "abcde", {{"abcdefgh", 8}, {"z", 1}}},
      {"ab\r\ncd", 222, "ab", {{"ab", 2}, {"cd", 2}}},
      {"\nab", 222, "", {{"", 0}, {"ab", 2}}},
      {"", 222, "", {}},
      {std::string(300, 'x'), 222, std::string(222, 'x'), {{std::string(300, 'x'), 300}}},
  };
  for (const auto& c : casi) {
    prova::CartellaTemporanea dir;
    auto p = dir.scrivi("dati.txt", c.contenuto);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_file(p, "rb"), &std::fclose);
    std::setvbuf(f.get(), nullptr, _IONBF, 0);  // the stream reads exactly what is asked
    LettoreRighe l(f.get());
    EXPECT_EQ(l.anteprima(c.massimo), c.anteprima);
    EXPECT_EQ(l.anteprima(c.massimo), c.anteprima);  // asked again: the same
    EXPECT_LE(static_cast<std::size_t>(std::ftell(f.get())), c.massimo);
    EXPECT_EQ(l.fine_file(), c.contenuto.empty());
    std::vector<Riga> out;
    std::string_view s;
    std::uint64_t n;
    while (l.leggi(s, n)) out.push_back({std::string(s), n});
    EXPECT_EQ(out, c.righe);
  }
}

}  // namespace
}  // namespace flussom

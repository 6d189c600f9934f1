#include "check/lettore_righe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "check/piattaforma.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

struct Riga {
  std::string testo;
  std::uint64_t lunghezza;
  bool operator==(const Riga&) const = default;
};

std::vector<Riga> righe(const std::string& contenuto) {
  prova::CartellaTemporanea dir;
  auto p = dir.scrivi("dati.txt", contenuto);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(apri_file(p, "rb"), &std::fclose);
  LettoreRighe l(f.get());
  std::vector<Riga> out;
  std::string_view s;
  std::uint64_t n;
  while (l.leggi(s, n)) out.push_back({std::string(s), n});
  EXPECT_FALSE(l.errore());
  return out;
}

TEST(LettoreRighe, EveryKindOfLineBreak) {
  EXPECT_EQ(righe("a\r\nbb\rccc\nd"),
            (std::vector<Riga>{{"a", 1}, {"bb", 2}, {"ccc", 3}, {"d", 1}}));
  EXPECT_EQ(righe("a\n\nb\n"), (std::vector<Riga>{{"a", 1}, {"", 0}, {"b", 1}}));
  EXPECT_EQ(righe("a\r\r\n"), (std::vector<Riga>{{"a", 1}, {"", 0}}));
  EXPECT_TRUE(righe("").empty());
}

TEST(LettoreRighe, NulAndHighBytesAreOrdinaryCharacters) {
  const std::string s("a\0\xFF" "b", 4);
  EXPECT_EQ(righe(s + "\r\n"), (std::vector<Riga>{{s, 4}}));
}

TEST(LettoreRighe, LinesAcrossBlocksAndCrLfSplitByABlock) {
  // Put a CR as the last byte of the first block and the LF as the next.
  const std::size_t blocco = LettoreRighe::blocco_iniziale;
  std::string a(blocco - 1, 'x');
  const std::string contenuto = a + "\r\nyy\n" + std::string(300, 'z');
  auto r = righe(contenuto);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].lunghezza, blocco - 1);
  EXPECT_EQ(r[0].testo.size(), LettoreRighe::byte_conservati);
  EXPECT_EQ(r[1], (Riga{"yy", 2}));
  EXPECT_EQ(r[2], (Riga{std::string(300, 'z'), 300}));
}

TEST(LettoreRighe, CrLfSplitAtEveryBlockWhileBlocksGrow) {
  // Blocks double from blocco_iniziale to dimensione_blocco: a CR LF across each boundary.
  std::string contenuto(5 * LettoreRighe::dimensione_blocco, 'x');
  std::vector<std::size_t> confini;
  for (std::size_t b = LettoreRighe::blocco_iniziale, fine = b; fine < contenuto.size();
       b = std::min(b * 2, LettoreRighe::dimensione_blocco), fine += b)
    confini.push_back(fine);
  std::vector<std::uint64_t> attese;
  std::size_t inizio = 0;
  for (std::size_t c : confini) {
    contenuto[c - 1] = '\r';
    contenuto[c] = '\n';
    attese.push_back(c - 1 - inizio);
    inizio = c + 1;
  }
  attese.push_back(contenuto.size() - inizio);
  std::vector<std::uint64_t> lette;
  for (const Riga& r : righe(contenuto)) lette.push_back(r.lunghezza);
  EXPECT_EQ(lette, attese);
}

TEST(LettoreRighe, VeryLongLineKeepsItsStartAndCountsItsLength) {
  const std::string lunga = "START" + std::string(3 * (1 << 20), 'q');
  auto r = righe(lunga + "\nfine\n");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].lunghezza, lunga.size());
  EXPECT_EQ(r[0].testo, lunga.substr(0, LettoreRighe::byte_conservati));
  EXPECT_EQ(r[1], (Riga{"fine", 4}));
}

TEST(LettoreRighe, BreaksFarIntoLongLines) {
  // The breaks are looked for a stretch at a time: a CR or a LF past the first stretches,
  // and a CR with a LF still further on.
  const std::string a(1500, 'a'), b(700, 'b'), c(2000, 'c');
  EXPECT_EQ(righe(a + "\r" + b + "\n" + c + "\r\n"),
            (std::vector<Riga>{{a, 1500}, {b, 700}, {c, 2000}}));
  EXPECT_EQ(righe(a + "\r" + b + "\r" + c),
            (std::vector<Riga>{{a, 1500}, {b, 700}, {c, 2000}}));
}

}  // namespace
}  // namespace flussom

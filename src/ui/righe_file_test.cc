#include "ui/righe_file.h"

#include <gtest/gtest.h>

#include <random>

#include "base/lettore_righe.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

// Lines picked in any order are the lines of a reading from the top, from a file of every
// kind of break whose first block ends between the CR and the LF of the line before a note.
TEST(RigheFile, PicksInAnyOrderReadTheLinesOfAReadingFromTheTop) {
  static_assert(LettoreRighe::blocco_iniziale == 16 * RigheFile::passo);
  std::mt19937 caso(7);
  std::vector<std::string> attese;
  std::string contenuto;
  const char* interruzioni[] = {"\r\n", "\r", "\n"};
  while (contenuto.size() < 3 * LettoreRighe::blocco_iniziale) {
    const auto n = static_cast<std::int64_t>(attese.size()) + 1;
    std::string riga = "riga " + std::to_string(n);
    if (n <= RigheFile::passo) {  // 16 bytes a line up to the note's line, then its LF
      riga.resize(15, 'x');
      contenuto += riga + (n == RigheFile::passo ? "\r\n" : caso() % 2 ? "\r" : "\n");
    } else {
      riga += std::string(caso() % 40, 'z');
      contenuto += riga + interruzioni[caso() % 3];
    }
    attese.push_back(riga);
  }
  prova::CartellaTemporanea dir;
  const std::filesystem::path file = dir.scrivi("FLM012026.txt", contenuto);
  IdentitaFile letto;
  ASSERT_TRUE(identita_file(file, letto));
  RigheFile righe(file, letto);
  const auto n = static_cast<std::int64_t>(attese.size());
  ASSERT_GT(n, 2 * RigheFile::passo);
  std::string errore;
  for (int volta = 0; volta < 60; ++volta) {
    const std::int64_t prima = volta == 0 ? n - 2 : 1 + static_cast<std::int64_t>(caso() % n);
    const std::int64_t ultima = prima + static_cast<std::int64_t>(caso() % 5);
    std::vector<std::string> lette;
    for (const RigaLetta& r : righe.leggi(prima, ultima, errore)) lette.push_back(r.testo.substr(0, r.lunghezza));
    ASSERT_EQ(errore, "");
    const std::vector<std::string> giuste(attese.begin() + prima - 1, attese.begin() + std::min(ultima, n));
    ASSERT_EQ(lette, giuste) << prima << "-" << ultima;
  }
  dir.scrivi("FLM012026.txt", "");
  EXPECT_TRUE(righe.leggi(1, 3, errore).empty());
  EXPECT_EQ(errore, testo_file_cambiato);
  EXPECT_TRUE(RigheFile(dir.percorso(), letto).leggi(1, 1, errore).empty());  // a folder
  EXPECT_TRUE(errore.starts_with("Impossibile leggere il file : ")) << errore;
}

}  // namespace
}  // namespace flussom

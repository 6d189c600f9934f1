#include "base/file_intero.h"

#include <gtest/gtest.h>

#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

// The names in the folder, in order.
std::string nomi(const fs::path& cartella) {
  std::vector<std::string> v;
  for (const auto& e : fs::directory_iterator(cartella)) v.push_back(e.path().filename().string());
  std::sort(v.begin(), v.end());
  std::string s;
  for (const std::string& n : v) s += n + " ";
  return s;
}

TEST(FileIntero, TheTargetChangesOnlyWhenTheWholeFileIsThere) {
  prova::CartellaTemporanea dir;
  const fs::path bersaglio = dir.scrivi("uscita.json", "vecchio");
  {
    FileIntero f;
    std::string errore;
    ASSERT_TRUE(f.apri(bersaglio, errore)) << errore;
    ASSERT_TRUE(f.scrivi("nuovo, a met\xE0"));
    EXPECT_EQ(dir.leggi("uscita.json"), "vecchio");
    EXPECT_EQ(nomi(dir.percorso()).size(), std::string(".uscita.json.0123456789abcdef.tmp uscita.json ").size());
  }  // dropped unfinished
  EXPECT_EQ(dir.leggi("uscita.json"), "vecchio");
  EXPECT_EQ(nomi(dir.percorso()), "uscita.json ");

  // Two writers of one target never share a temporary; the last to finish wins, whole.
  FileIntero a, b;
  std::string errore;
  ASSERT_TRUE(a.apri(bersaglio, errore) && b.apri(bersaglio, errore)) << errore;
  EXPECT_TRUE(a.scrivi("primo") && b.scrivi("secondo"));
  EXPECT_TRUE(a.completa(errore) && b.completa(errore)) << errore;
  EXPECT_EQ(dir.leggi("uscita.json"), "secondo");
  EXPECT_EQ(nomi(dir.percorso()), "uscita.json ");

  // Nowhere to put the temporary: refused at once, nothing created.
  EXPECT_FALSE(scrivi_file_intero(dir / "manca" / "x.json", "x", errore));
  EXPECT_FALSE(errore.empty());
  EXPECT_FALSE(scrivi_file_intero(dir.percorso(), "x", errore));
  EXPECT_EQ(errore, "\xE8 una cartella");
  EXPECT_EQ(nomi(dir.percorso()), "uscita.json ");
}

TEST(FileIntero, ProtectedFilesAreKnownByAnyName) {
  prova::CartellaTemporanea dir;
  const fs::path tabella = dir.scrivi("strutture.DAT", "");
  const std::vector<fs::path> protetti = {tabella, dir / "errori.RPT"};
  EXPECT_NE(destinazione_rifiutata(dir / "." / "strutture.DAT", protetti), "");
  EXPECT_NE(destinazione_rifiutata(dir / "sub" / ".." / "errori.RPT", protetti), "");
  EXPECT_EQ(destinazione_rifiutata(dir / "errori.json", protetti), "");
  EXPECT_EQ(destinazione_rifiutata(dir / "strutture.DAT.json", protetti), "");
}

#ifndef _WIN32
// Links are followed the way the system follows them: a relative link from the folder that
// holds it, a chain to its end, a link to a name not there yet to that name; a loop stops.
TEST(FileIntero, LinksLeadWhereTheSystemWouldWrite) {
  prova::CartellaTemporanea dir;
  fs::create_directory(dir / "sub");
  const fs::path vero = fs::canonical(dir.percorso()) / "sub" / "vero.json";
  fs::create_symlink("sub/vero.json", dir / "a");   // relative, from dir
  fs::create_symlink("../a", dir / "sub" / "b");    // relative, from sub, to another link
  fs::create_symlink(dir / "sub" / "b", dir / "c");  // absolute
  fs::create_symlink("giro2", dir / "giro1");
  fs::create_symlink("giro1", dir / "giro2");
  for (const char* nome : {"a", "sub/b", "c"}) EXPECT_EQ(percorso_risolto(dir / nome), vero) << nome;
  EXPECT_EQ(percorso_risolto(dir / "giro1").parent_path(), fs::canonical(dir.percorso()));

  std::string errore;
  ASSERT_TRUE(scrivi_file_intero(dir / "c", "tutto", errore)) << errore;
  EXPECT_EQ(prova::leggi_file(vero), "tutto");
  EXPECT_TRUE(fs::is_symlink(dir / "c"));
  // A protected file reached through a chain of links, or by a name of the system's streams.
  EXPECT_NE(destinazione_rifiutata(dir / "c", {vero}), "");
  for (const char* flusso : {"/dev/stdout", "/proc/self/fd/1", "/dev/../dev/stderr"})
    EXPECT_EQ(destinazione_rifiutata(flusso, {}), "non \xE8 un file regolare") << flusso;
}
#endif

}  // namespace
}  // namespace flussom

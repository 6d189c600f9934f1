#include "base/file_intero.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "base/piattaforma.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

// The names in the folder, in order.
std::string nomi(const fs::path& cartella) {
  std::string s;
  for (const auto& [nome, byte] : prova::contenuto(cartella)) s += nome + " ";
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
  EXPECT_EQ(nomi(dir.percorso()), "uscita.json ");

  // Protected files are known by any name, existing or not; only by theirs.
  const std::vector<fs::path> protetti = {bersaglio, dir / "errori.RPT"};
  EXPECT_NE(destinazione_rifiutata(dir / "." / "uscita.json", protetti), "");
  EXPECT_NE(destinazione_rifiutata(dir / "sub" / ".." / "errori.RPT", protetti), "");
  for (const char* n : {"errori.json", "uscita.json.json"}) EXPECT_EQ(destinazione_rifiutata(dir / n, protetti), "");
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
  // A protected file reached through a chain of links or a hard link, or by a name of the
  // system's streams; a loop of links cannot be written either.
  fs::create_hard_link(vero, dir / "stesso");
  for (const char* nome : {"c", "stesso"}) EXPECT_NE(destinazione_rifiutata(dir / nome, {vero}), "") << nome;
  EXPECT_EQ(destinazione_rifiutata(dir / "giro1", {}), testo_errno(ELOOP));
  for (const char* flusso : {"/dev/stdout", "/proc/self/fd/1", "/dev/../dev/stderr"})
    EXPECT_EQ(destinazione_rifiutata(flusso, {}), "non \xE8 un file regolare") << flusso;
}

// A rename that cannot happen (a folder has taken the target's name): the reason, again when
// asked again, and no temporary stays. Writes that fail are the run's tests' (its reports).
TEST(FileIntero, ARenameThatFailsChangesNothing) {
  prova::CartellaTemporanea dir;
  FileIntero f, mai_aperto;
  std::string errore, ancora, chiuso;
  ASSERT_TRUE(f.apri(dir / "x.json", errore) && f.scrivi("x"));
  fs::create_directories(dir / "x.json" / "dentro");
  EXPECT_FALSE(f.completa(errore) || f.completa(ancora) || mai_aperto.scrivi("x") || mai_aperto.completa(chiuso));
  EXPECT_EQ(errore + "|" + ancora + "|" + chiuso, testo_errno(EISDIR) + "|" + testo_errno(EISDIR) + "|file non aperto");
  EXPECT_EQ(nomi(dir.percorso()), "x.json ");
}
#endif

}  // namespace
}  // namespace flussom

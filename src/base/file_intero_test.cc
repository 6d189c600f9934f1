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
  // A protected file reached through a chain of links or a hard link, or by a name of the
  // system's streams; a loop of links cannot be written either.
  fs::create_hard_link(vero, dir / "stesso");
  for (const char* nome : {"c", "stesso"}) EXPECT_NE(destinazione_rifiutata(dir / nome, {vero}), "") << nome;
  EXPECT_EQ(destinazione_rifiutata(dir / "giro1", {}), testo_errno(ELOOP));
  for (const char* flusso : {"/dev/stdout", "/proc/self/fd/1", "/dev/../dev/stderr"})
    EXPECT_EQ(destinazione_rifiutata(flusso, {}), "non \xE8 un file regolare") << flusso;
}

// A write that fails (a full disk; here a limit on the size of files) in the stream or only
// at the flush, a rename that cannot happen (a folder has taken the target's name): the
// reason comes back, again when asked again, the target keeps what it held, no temporary stays.
TEST(FileIntero, AFailedWriteOrRenameChangesNothing) {
  prova::CartellaTemporanea dir;
  const struct { const char* nome; std::size_t byte; unsigned long long limite; int errore; } casi[] = {
      {"cartella.json", 10, ~0ULL, EISDIR}, {"uscita.json", 10, 4, EFBIG}, {"uscita.json", 1 << 20, 4, EFBIG}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.byte);
    dir.scrivi("uscita.json", "vecchio");
    FileIntero f;
    std::string errore, ancora;
    ASSERT_TRUE(f.apri(dir / c.nome, errore)) << errore;
    fs::create_directories(dir / "cartella.json" / "dentro");
    {
      prova::LimiteFile limite(c.limite);
      f.scrivi(std::string(c.byte, 'x'));
      EXPECT_EQ(f.scrivi("y"), c.byte == 10);  // nothing more once a write has failed
      EXPECT_FALSE(f.completa(errore));
      EXPECT_FALSE(f.completa(ancora));
    }
    EXPECT_EQ(errore, testo_errno(c.errore));
    EXPECT_EQ(ancora, errore);
    EXPECT_EQ(nomi(dir.percorso()), "cartella.json uscita.json ");
    EXPECT_EQ(dir.leggi("uscita.json"), "vecchio");
  }
  FileIntero mai_aperto;
  std::string errore;
  EXPECT_FALSE(mai_aperto.scrivi("x") || mai_aperto.completa(errore));
  EXPECT_EQ(errore, "file non aperto");
}
#endif

}  // namespace
}  // namespace flussom

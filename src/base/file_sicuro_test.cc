#include "base/file_sicuro.h"

// Links, fifos and devices as POSIX has them; the Windows side is run by the end-to-end tests.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "base/piattaforma.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

namespace fs = std::filesystem;

struct Caso {
  const char* nome;
  fs::path percorso;
  bool riesce;
  const char* errore;  // part of the error text when it fails
};

// Checks the outcome of one case; the open file, or nullptr when it failed.
std::FILE* verifica(const Caso& c, std::FILE* f, const std::string& errore) {
  EXPECT_EQ(f != nullptr, c.riesce) << c.nome;
  EXPECT_NE(errore.find(c.errore), std::string::npos) << c.nome << ": " << errore;
  return f;
}

TEST(FileSicuro, NewFilesAreCreatedOnlyWhereNothingExists) {
  prova::CartellaTemporanea dir;
  dir.scrivi("c'era", "vecchio");
  fs::create_symlink(dir / "c'era", dir / "link");
  fs::create_symlink(dir / "altrove", dir / "pendente");
  const Caso casi[] = {
      {"nuovo", dir / "nuovo", true, ""},
      {"esistente", dir / "c'era", false, "exists"},
      {"link a un file", dir / "link", false, "exists"},
      {"link pendente", dir / "pendente", false, "exists"},
      {"cartella mancante", dir / "no" / "x", false, "No such file"},
  };
  for (const auto& c : casi) {
    std::string errore;
    if (std::FILE* f = verifica(c, crea_file_nuovo(c.percorso, errore), errore)) {
      EXPECT_TRUE(std::fputs("x", f) >= 0 && std::fclose(f) == 0);
    }
  }
  EXPECT_EQ(dir.leggi("nuovo"), "x");
  EXPECT_EQ(dir.leggi("c'era"), "vecchio");
  EXPECT_FALSE(fs::exists(dir / "altrove"));
}

TEST(FileSicuro, AppendingNeverCreatesThroughALink) {
  prova::CartellaTemporanea dir;
  dir.scrivi("tabella", "12");
  fs::create_symlink(dir / "tabella", dir / "link");
  fs::create_symlink(dir / "altrove", dir / "pendente");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir / "cartella");
  const Caso casi[] = {
      {"esistente", dir / "tabella", true, ""},
      {"link a un file", dir / "link", true, ""},
      {"nuovo", dir / "nuova", true, ""},
      {"link pendente", dir / "pendente", false, "exists"},
      {"fifo", dir / "fifo", false, "non \xE8 un file regolare"},
      {"cartella", dir / "cartella", false, "\xE8 una cartella"},
  };
  for (const auto& c : casi) {
    std::string errore;
    std::FILE* f = verifica(c, apri_in_aggiunta(c.percorso, errore), errore);
    if (!f) continue;
    std::uint64_t prima = 0, dopo = 0;
    ASSERT_TRUE(blocca_file(f, prima, errore)) << errore;
    std::fputs("345", f);
    ASSERT_TRUE(accorcia_file(f, prima + 1, errore)) << errore;
    sblocca_file(f);
    ASSERT_TRUE(blocca_file(f, dopo, errore));
    EXPECT_EQ(dopo, prima + 1) << c.nome;
    std::fclose(f);
  }
  EXPECT_EQ(dir.leggi("tabella"), "1233");
  EXPECT_EQ(dir.leggi("nuova"), "3");
  EXPECT_FALSE(fs::exists(dir / "altrove"));
}

TEST(FileSicuro, ALockIsTakenOnceAndOnAFileOfItsOwn) {
  prova::CartellaTemporanea dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir / "cartella");
  fs::create_symlink(dir / "altrove", dir / "pendente");
  const Caso casi[] = {
      {"nuovo", dir / "blocco", true, ""},
      {"preso", dir / "blocco", false, ""},  // by another handle: busy, not a failure
      {"cartella", dir / "cartella", false, "\xE8 una cartella"},
      {"fifo", dir / "fifo", false, "non \xE8 un file regolare"},
      {"cartella mancante", dir / "no" / "x", false, "No such file"},
      {"link pendente", dir / "pendente", false, "symbolic links"},
  };
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> tenuto(nullptr, &std::fclose);
  for (const auto& c : casi) {
    std::string errore;
    bool occupato = true;
    if (std::FILE* f = verifica(c, prendi_blocco(c.percorso, occupato, errore), errore)) tenuto.reset(f);
    EXPECT_EQ(occupato, c.nome == std::string("preso")) << c.nome;
  }
  EXPECT_FALSE(fs::exists(dir / "altrove"));
  // A handle that may not write cannot cut; a missing file has no identity.
  std::string errore;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> lettura(apri_in_lettura(dir / "blocco", errore), &std::fclose);
  EXPECT_FALSE(accorcia_file(lettura.get(), 0, errore));
  IdentitaFile id;
  EXPECT_FALSE(identita_file(dir / "manca", id));
}

// A table is read whole or not at all: a read error gives the system's reason and no bytes;
// a name the system refuses is unusable, not missing (a missing table gets created).
TEST(FileSicuro, TableThatCannotBeRead) {
  std::string dati = "x", motivo;
  EXPECT_EQ(leggi_tabella("/proc/self/mem", dati, motivo), StatoTabella::inutilizzabile);
  EXPECT_EQ(motivo, testo_errno(EIO));
  EXPECT_EQ(dati, "");
  EXPECT_EQ(stato_tabella(std::string(300, 'x')), StatoTabella::inutilizzabile);
}

}  // namespace
}  // namespace flussom
#endif  // _WIN32

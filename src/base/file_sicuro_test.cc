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

// A new file only where nothing at all stands at the name; appending to a regular file,
// through a link too, or to nothing, never creating through a link nor opening anything else.
TEST(FileSicuro, NewOnlyWhereNothingIsAppendingNeverThroughALink) {
  prova::CartellaTemporanea dir;
  dir.scrivi("tabella", "12");
  fs::create_symlink(dir / "tabella", dir / "link");
  fs::create_symlink(dir / "altrove", dir / "pendente");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir / "cartella");
  const Caso nuovi[] = {
      {"nuovo", dir / "nuovo", true, ""},
      {"esistente", dir / "tabella", false, "exists"},
      {"link a un file", dir / "link", false, "exists"},
      {"link pendente", dir / "pendente", false, "exists"},
      {"cartella mancante", dir / "no" / "x", false, "No such file"},
  };
  for (const auto& c : nuovi) {
    std::string errore;
    if (std::FILE* f = verifica(c, crea_file_nuovo(c.percorso, errore), errore)) {
      EXPECT_TRUE(std::fputs("x", f) >= 0 && std::fclose(f) == 0);
    }
  }
  EXPECT_EQ(dir.leggi("nuovo"), "x");
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
  // A handle that may not write cannot cut; a missing file has no identity; a read error
  // gives no table; a name the system refuses is an unusable table, not a missing one.
  std::string errore, dati = "x";
  IdentitaFile id;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> lettura(apri_in_lettura(dir / "tabella", nullptr, errore), &std::fclose);
  EXPECT_FALSE(accorcia_file(lettura.get(), 0, errore) || identita_file(dir / "manca", id));
  EXPECT_EQ(leggi_tabella("/proc/self/mem", dati, errore), StatoTabella::inutilizzabile);
  EXPECT_EQ(dati + errore, testo_errno(EIO));
  EXPECT_EQ(stato_tabella(std::string(300, 'x')), StatoTabella::inutilizzabile);
}

}  // namespace
}  // namespace flussom
#endif  // _WIN32

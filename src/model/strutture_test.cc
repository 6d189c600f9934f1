#include "model/strutture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "support/cartella_temporanea.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace flussom {
namespace {

TEST(Strutture, LookupIsExactAndTheFirstRecordWins) {
  auto t = TabellaStrutture::da_contenuto(
      "\"123456\",\"AMBULATORIO, PROVA\",\"02\",\"\",\"\"\r\n"
      "\"1234\",\"LAB\",\"03\",\"\",\"\"\r\n"
      "\"123456\",\"DOPPIO\",\"02\",\"\",\"\"\r\n"
      "\"ab1\",\"MINUSCOLO\",\"02\",\"\",\"\"\r\n");
  ASSERT_TRUE(t.cerca("123456"));
  EXPECT_EQ(t.cerca("123456")->denominazione, "AMBULATORIO, PROVA");
  EXPECT_EQ(t.cerca("1234")->denominazione, "LAB");
  EXPECT_FALSE(t.cerca("AB1"));
  EXPECT_FALSE(t.cerca(""));
}

TEST(Strutture, ThousandsOfCommasCostLittleMoreThanTheirBytes) {
  // Every record has the same empty code: one is kept. Distinct codes: 16 bytes each.
  const auto t = TabellaStrutture::da_contenuto(std::string(10'000'000, ','));
  EXPECT_TRUE(t.cerca(""));
  std::string molti;
  for (int i = 0; i < 200000; ++i) molti += std::to_string(i) + ",N" + std::to_string(i) + ",,,\n";
  const auto m = TabellaStrutture::da_contenuto(molti);
  EXPECT_EQ(m.cerca("199999")->denominazione, "N199999");
  EXPECT_EQ(m.cerca("0")->denominazione, "N0");
  EXPECT_FALSE(m.cerca("200000"));
}

#ifndef _WIN32
// A registration in a child process whose files may not grow past `limite` bytes: the
// write of the record fails midway, as on a full disk.
int registra_con_limite(const std::filesystem::path& cartella, rlim_t limite) {
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit r{limite, limite};
    setrlimit(RLIMIT_FSIZE, &r);
    std::string errore;
    const bool ok = registra_struttura(cartella, {"654321", "NUOVA", "08", "", ""}, errore);
    _exit(ok ? 0 : errore == std::strerror(EFBIG) ? 3 : 4);
  }
  int stato = 0;
  waitpid(pid, &stato, 0);
  return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
}

TEST(Strutture, AFailedRegistrationTakesBackOnlyItsOwnBytes) {
  prova::CartellaTemporanea dir;
  const std::string a = "\"1\",\"A\",\"02\",\"\",\"\"";
  for (const std::string& prima : {a + "\r\n", a}) {
    for (const rlim_t oltre : {0, 1, 2, 10}) {
      dir.scrivi("strutture.DAT", prima);
      EXPECT_EQ(registra_con_limite(dir.percorso(), prima.size() + oltre), 3) << oltre;
      EXPECT_EQ(dir.leggi("strutture.DAT"), prima) << oltre;
    }
  }
}

TEST(Strutture, ParallelRegistrationsLoseNoRecord) {
  prova::CartellaTemporanea dir;
  dir.scrivi("strutture.DAT", "\"1\",\"A\",\"02\",\"\",\"\"");  // no final line break
  std::vector<std::thread> fili;
  for (int t = 0; t < 8; ++t)
    fili.emplace_back([&dir, t] {
      for (int i = 0; i < 25; ++i) {
        std::string errore;
        EXPECT_TRUE(registra_struttura(dir.percorso(), {std::to_string(1000 + t * 100 + i), "X", "02", "", ""},
                                       errore)) << errore;
      }
    });
  for (auto& f : fili) f.join();
  const auto tabella = TabellaStrutture::leggi(dir.percorso());
  for (int t = 0; t < 8; ++t)
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(tabella.cerca(std::to_string(1000 + t * 100 + i)));
  EXPECT_TRUE(tabella.cerca("1"));
}
#endif

}  // namespace
}  // namespace flussom

#include "model/strutture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "base/file_sicuro.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

// Pasted text passes the keys' filters and stops at the box's length; the name's filter
// drops every control character too (a line break would split the record).
TEST(Strutture, PastedTextAndWhatARegistrationNeeds) {
  EXPECT_EQ(filtra_testo_codice("a1-2 34", 3), "123");
  EXPECT_EQ(filtra_testo_denominazione("ab\"c,1\r\nd\x81\x7F\t\xE8xyz", 5), "ABCD\xE8");
  EXPECT_TRUE(registrazione_completa({" 1 ", "", " 08", "", ""}));
  EXPECT_FALSE(registrazione_completa({"1", "X", "  ", "08", ""}));
  EXPECT_FALSE(registrazione_completa({" ", "X", "08", "", ""}));
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

TEST(Strutture, ACodeTheLookupFindsIsRefusedAndNothingWritten) {
  prova::CartellaTemporanea dir;
  // The lookup is exact, letter case included, and takes the first of two records of one
  // code; the table ends without a line break.
  const std::string tabella = "\"123456\",\"PRIMO, SEDE\",\"02\",\"\",\"\"\r\n"
                              "\"123456\",\"DOPPIO\",\"02\",\"\",\"\"\r\n"
                              "\"ab1\",\"MINUSCOLO\",\"02\",\"\",\"\"";
  const std::string primo = "Struttura 123456 gi\xE0 registrata: PRIMO, SEDE";
  const struct { const char *codice, *errore; } casi[] = {
      {"123456", primo.c_str()},
      {" 123456 ", primo.c_str()},  // written trimmed, so looked up trimmed
      {"ab1", "Struttura ab1 gi\xE0 registrata: MINUSCOLO"},
      {"AB1", nullptr},  // letter case counts, as in the lookup
      {"12345", nullptr},
      {"1234567", nullptr},
      {"", nullptr},
  };
  for (const auto& c : casi) {
    dir.scrivi("strutture.DAT", tabella);
    const DatiStruttura d{c.codice, "NUOVA", "08", "", ""};
    std::string errore;
    const auto esito = registra_struttura(dir.percorso(), d, errore);
    if (c.errore) {
      EXPECT_EQ(esito, RegistrazioneStruttura::gia_registrata) << c.codice;
      EXPECT_EQ(errore, c.errore);
      EXPECT_EQ(dir.leggi("strutture.DAT"), tabella) << c.codice;
    } else {
      EXPECT_EQ(esito, RegistrazioneStruttura::registrata) << c.codice << errore;
      EXPECT_EQ(dir.leggi("strutture.DAT"), tabella + "\r\n" + record_struttura(d)) << c.codice;
    }
  }
}

TEST(Strutture, TheCodeIsLookedUpInTheTableAsItStandsUnderTheLock) {
  prova::CartellaTemporanea dir;
  dir.scrivi("strutture.DAT", "");
  std::string motivo;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> altro(apri_in_aggiunta(dir / "strutture.DAT", motivo),
                                                        &std::fclose);
  std::uint64_t dimensione = 0;
  ASSERT_TRUE(altro && blocca_file(altro.get(), dimensione, motivo)) << motivo;
  std::string errore;
  auto esito = std::async(std::launch::async, [&] {
    return registra_struttura(dir.percorso(), {"7", "SECONDA", "08", "", ""}, errore);
  });
  // While the registration waits for the lock, another one writes the same code.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::string prima = "\"7\",\"PRIMA\",\"02\",\"\",\"\"\r\n";
  ASSERT_EQ(std::fwrite(prima.data(), 1, prima.size(), altro.get()), prima.size());
  sblocca_file(altro.get());
  EXPECT_EQ(esito.get(), RegistrazioneStruttura::gia_registrata);
  EXPECT_EQ(errore, "Struttura 7 gi\xE0 registrata: PRIMA");
  EXPECT_EQ(dir.leggi("strutture.DAT"), prima);
}

#ifndef _WIN32
// The write of the record fails midway, as on a full disk (here a limit on the size of files).
TEST(Strutture, AFailedRegistrationTakesBackOnlyItsOwnBytes) {
  prova::CartellaTemporanea dir;
  const std::string a = "\"1\",\"A\",\"02\",\"\",\"\"";
  for (const std::string& prima : {a + "\r\n", a}) {
    for (const unsigned long long oltre : {0, 1, 2, 10}) {
      dir.scrivi("strutture.DAT", prima);
      std::string errore;
      {
        prova::LimiteFile limite(prima.size() + oltre);
        EXPECT_EQ(registra_struttura(dir.percorso(), {"654321", "NUOVA", "08", "", ""}, errore),
                  RegistrazioneStruttura::non_scritta);
      }
      EXPECT_EQ(errore, std::strerror(EFBIG)) << oltre;
      EXPECT_EQ(dir.leggi("strutture.DAT"), prima) << oltre;
    }
  }
}

TEST(Strutture, ParallelRegistrationsLoseNoRecordAndPassACodeOnce) {
  prova::CartellaTemporanea dir;
  dir.scrivi("strutture.DAT", "\"1\",\"A\",\"02\",\"\",\"\"");  // no final line break
  // Each thread registers codes of its own and, in turn, the same 25 codes as every other.
  std::atomic<int> passate[25] = {};
  std::vector<std::thread> fili;
  for (int t = 0; t < 8; ++t)
    fili.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) {
        std::string errore;
        const DatiStruttura propria{std::to_string(1000 + t * 100 + i), "X", "02", "", ""};
        EXPECT_EQ(registra_struttura(dir.percorso(), propria, errore), RegistrazioneStruttura::registrata) << errore;
        const std::string comune = std::to_string(5000 + i);
        const DatiStruttura di_tutti{comune, std::string(1, static_cast<char>('A' + t)), "02", "", ""};
        const auto esito = registra_struttura(dir.percorso(), di_tutti, errore);
        if (esito == RegistrazioneStruttura::registrata) ++passate[i];
        else EXPECT_TRUE(errore.starts_with("Struttura " + comune + " gi\xE0 registrata: ")) << errore;
      }
    });
  for (auto& f : fili) f.join();
  const auto tabella = TabellaStrutture::leggi(dir.percorso());
  for (int t = 0; t < 8; ++t)
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(tabella.cerca(std::to_string(1000 + t * 100 + i)));
  EXPECT_TRUE(tabella.cerca("1"));
  const std::string tutto = dir.leggi("strutture.DAT");
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(passate[i], 1) << i;
    const std::string record = "\"" + std::to_string(5000 + i) + "\",";
    EXPECT_EQ(tutto.find(record), tutto.rfind(record)) << i;
  }
}
#endif

}  // namespace
}  // namespace flussom

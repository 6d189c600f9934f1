#include "model/report_errori.h"

// Writes made to fail by a limit on the size of files, as POSIX has it.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cerrno>

#include "base/piattaforma.h"
#include "support/cartella_temporanea.h"

namespace flussom {
namespace {

// A report whose writes fail (a full disk; here a limit on the size of files) at its close
// or on the way, written in place or whole: the system's reason, and a whole one leaves the
// old report as it was, as does one never closed. One that cannot be created says why.
TEST(ReportErrori, WritesThatFailGiveTheSystemsReason) {
  prova::CartellaTemporanea dir;
  const std::filesystem::path rpt = dir / "errori.RPT";
  std::string errore;
  for (const bool intero : {false, true}) {
    for (const int righe : {1, 1000}) {  // flushed at the close, or on the way
      SCOPED_TRACE(std::to_string(intero) + " " + std::to_string(righe));
      dir.scrivi("errori.RPT", "vecchio");
      ReportErrori r;
      prova::LimiteFile limite(4);
      ASSERT_TRUE(intero ? r.crea_intero(rpt, errore) : r.crea(rpt, errore)) << errore;
      for (int i = 0; i < righe; ++i) r.scrivi(TipoRigaReport::messaggio, {std::string(100, 'x')});
      EXPECT_FALSE(r.chiudi());
      EXPECT_EQ(r.errore(), testo_errno(EFBIG));
      EXPECT_EQ(dir.leggi("errori.RPT"), intero ? "vecchio" : "xxxx");
    }
  }
  {
    ReportErrori r;
    ASSERT_TRUE(r.crea_intero(rpt, errore));
    r.scrivi(TipoRigaReport::messaggio, {"mai chiuso"});
  }
  EXPECT_EQ(dir.leggi("errori.RPT"), "vecchio");
  ReportErrori r;
  EXPECT_FALSE(r.crea(rpt / "x", errore));
  EXPECT_EQ(errore, testo_errno(ENOTDIR));
  EXPECT_FALSE(r.crea_intero(dir.percorso(), errore));
  EXPECT_EQ(errore, "\xE8 una cartella");
}

}  // namespace
}  // namespace flussom
#endif  // _WIN32

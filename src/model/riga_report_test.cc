#include "model/riga_report.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace flussom {
namespace {

TEST(RigaReport, UniqueRuleIdsAndFieldsFromTheTable) {
  std::set<std::string> visti;
  for (std::size_t i = 1; i < numero_regole; ++i) {
    const std::string id(identificatore(static_cast<Regola>(i)));
    EXPECT_FALSE(id.empty());
    EXPECT_EQ(id.find_first_not_of("abcdefghijklmnopqrstuvwxyz_0123456789"), std::string::npos) << id;
    EXPECT_TRUE(visti.insert(id).second) << id;
    EXPECT_EQ(campi_regola(static_cast<Regola>(i)) >> numero_campi, 0u) << id;
  }
  EXPECT_EQ(identificatore(Regola::nessuna), "");
  EXPECT_EQ(identificatore(Regola::importo_errato), "importo_errato");
  EXPECT_EQ(campi_regola(Regola::prestazione_non_consona),
            bit(CampoRiga::cod_branca) | bit(CampoRiga::cod_prestazione));
  EXPECT_EQ(nome_campo(CampoRiga::cod_regione), "cod_regione");
  EXPECT_EQ(nome_campo(CampoRiga::pos_contabile), "pos_contabile");
}

}  // namespace
}  // namespace flussom

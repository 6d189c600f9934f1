// One data file in which every check fails once, each in a ricetta of its own, checked
// through the command line's run with a pinned day; the report, the output and the JSON
// result are compared byte for byte with the files in tests/dati. FLUSSOM_AGGIORNA_ORO=1 rewrites them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "base/orologio.h"
#include "cli/comandi.h"
#include "support/cartella_temporanea.h"
#include "support/riga_prova.h"

namespace flussom {
namespace {

using prova::RigaProva;

// A ricetta: its service lines and its closing row.
struct Ricetta {
  std::vector<RigaProva> servizi;
  RigaProva chiusura;
};

Ricetta base(int n) {
  RigaProva r;
  char num[32];
  std::snprintf(num, sizeof num, "1900000000000%02d", n);
  r.num_ricetta = num;
  return {{r}, r.chiusura("0020,66", "0000,00")};
}

using Guasto = std::function<void(Ricetta&)>;

const std::vector<std::pair<const char*, Guasto>> guasti = {
    {"corretta", [](Ricetta&) {}},
    // Service-row checks.
    {"medico con virgola", [](Ricetta& r) { r.servizi[0].cod_medico = "MED,01"; }},
    {"medico con punto interrogativo e virgola", [](Ricetta& r) { r.servizi[0].cod_medico = "M?D,01"; }},
    {"progressivo", [](Ricetta& r) { r.servizi[0].progressivo = "02"; }},
    {"quantita zero", [](Ricetta& r) { r.servizi[0].quantita = "000"; }},
    {"prenotazione dopo la prestazione", [](Ricetta& r) { r.servizi[0].data_prenotazione = "06102026"; }},
    {"codice fiscale corto su una riga", [](Ricetta& r) { r.servizi[0].cod_fiscale = "RSSMRA80A01H501"; }},
    {"diagnosi", [](Ricetta& r) { r.servizi[0].cod_diagnosi = "9999"; }},
    {"esenzione che non copre la prestazione",
     [](Ricetta& r) {
       auto& s = r.servizi[0];
       s.cod_esenzione = "0A02"; s.cod_prestazione = "88.72.3"; s.cod_branca = "08";
       s.importo = "0061,97"; r.chiusura.importo_ticket = "0036,15"; r.chiusura.importo = "0025,82";
     }},
    {"codice prestazione assente", [](Ricetta& r) { r.servizi[0].cod_prestazione = ""; }},
    {"codice prestazione inesistente", [](Ricetta& r) { r.servizi[0].cod_prestazione = "99.99"; }},
    {"branca non consona", [](Ricetta& r) { r.servizi[0].cod_branca = "52"; }},
    {"importo errato", [](Ricetta& r) { r.servizi[0].importo = "0030,00"; }},
    // Shape of the ricetta.
    {"undici prestazioni",
     [](Ricetta& r) {
       for (int i = 2; i <= 11; ++i) {
         RigaProva s = r.servizi[0];
         s.progressivo = std::to_string(i); s.cod_prestazione = "90.27.1"; s.importo = "0001,17";
         r.servizi.push_back(s);
       }
       r.chiusura.importo_ticket = "0032,36";
     }},
    {"solo la riga 99", [](Ricetta& r) { r.servizi.clear(); r.chiusura.importo_ticket = "0000,00"; r.chiusura.pos_ticket = ""; }},
    // Closing-row checks: header and patient.
    {"numero ricetta corto",
     [](Ricetta& r) {
       r.servizi[0].num_ricetta = r.chiusura.num_ricetta = r.chiusura.num_ricetta.substr(0, 14);
     }},
    {"codice fiscale corto", [](Ricetta& r) { r.chiusura.cod_fiscale = "RSSMRA80A01H501"; }},
    {"codice fiscale con carattere di controllo errato",
     [](Ricetta& r) { r.chiusura.cod_fiscale = "RSSMRA80A01H501A"; }},
    {"codice fiscale minuscolo",
     [](Ricetta& r) {
       for (auto& c : r.chiusura.cod_fiscale) c = static_cast<char>(std::tolower(c));
     }},
    {"codice STP", [](Ricetta& r) { r.chiusura.cod_fiscale = "STP1900000000001"; }},
    {"cognome con cifre", [](Ricetta& r) { r.chiusura.cognome = "R0SS1"; }},
    {"nome con trattino e cancelletto", [](Ricetta& r) { r.chiusura.nome = "M#RI-O"; }},
    {"sesso", [](Ricetta& r) { r.chiusura.sesso = "3"; }},
    {"regione", [](Ricetta& r) { r.chiusura.cod_regione = "191"; }},
    {"azienda", [](Ricetta& r) { r.chiusura.cod_azienda = "099"; }},
    {"comune vuoto", [](Ricetta& r) { r.chiusura.comune_res = ""; }},
    {"comune inesistente", [](Ricetta& r) { r.chiusura.comune_res = "999999"; }},
    {"data di nascita errata", [](Ricetta& r) { r.chiusura.data_nascita = "30021980"; }},
    {"anno di nascita troppo lontano", [](Ricetta& r) { r.chiusura.data_nascita = "01011900"; }},
    // Closing-row checks: coding and dates.
    {"branca vuota", [](Ricetta& r) { r.chiusura.cod_branca = ""; }},
    {"asl vuota", [](Ricetta& r) { r.chiusura.asl_res = "000"; }},
    {"nomenclatore mancante", [](Ricetta& r) { r.chiusura.cod_nomenclatore = ""; }},
    {"nomenclatore maiuscolo", [](Ricetta& r) { r.chiusura.cod_nomenclatore = "X"; }},
    {"data della prima riga vuota", [](Ricetta& r) { r.servizi[0].data_prestazione = ""; }},
    {"nascita dopo la prescrizione", [](Ricetta& r) { r.chiusura.data_nascita = "06102026"; }},
    {"dati anagrafici assenti",
     [](Ricetta& r) {
       r.chiusura.cognome = r.chiusura.nome = r.chiusura.cod_fiscale = r.chiusura.data_nascita = "";
     }},
    {"medico mancante", [](Ricetta& r) { r.chiusura.cod_medico = ""; }},
    // Closing-row checks: amounts and exemption.
    {"ticket zero non esente con esenzione",
     [](Ricetta& r) {
       r.chiusura.importo_ticket = "0000000";
       r.chiusura.importo = "0020,66";
       r.chiusura.cod_esenzione = "013";
     }},
    {"esente con ticket e senza esenzione", [](Ricetta& r) { r.chiusura.pos_ticket = "01"; r.chiusura.importo_ticket = "0005,00"; r.chiusura.importo = "0015,66"; }},
    {"posizione ticket 3", [](Ricetta& r) { r.chiusura.pos_ticket = "03"; }},
    {"esenzione inesistente",
     [](Ricetta& r) {
       r.chiusura.pos_ticket = "01";
       r.chiusura.cod_esenzione = "999";
       r.chiusura.importo_ticket = "0000,00";
       r.chiusura.importo = "0020,66";
     }},
    {"posizione contabile", [](Ricetta& r) { r.chiusura.pos_contabile = "4"; }},
    {"totale errato", [](Ricetta& r) { r.chiusura.importo_ticket = "0005,60"; r.chiusura.importo = "0040,00"; }},
};

std::string dati_di_prova() {
  std::string dati;
  int n = 0;
  for (const auto& [nome, guasto] : guasti) {
    Ricetta r = base(++n);
    guasto(r);
    for (const auto& s : r.servizi) dati += s.linea() + "\r\n";
    dati += r.chiusura.linea() + "\r\n";
  }
  // A ricetta without its closing row, a duplicate number, a facility code with a blank,
  // and a line of the wrong length after the errors, with which the file ends: its ricetta
  // never gets its closing row.
  Ricetta senza = base(++n);
  dati += senza.servizi[0].linea() + "\r\n";
  dati += prova::ricetta_corretta("190000000000001");
  Ricetta corto = base(++n);
  corto.chiusura.cod_struttura = "12345";
  for (const auto& s : corto.servizi) dati += s.linea() + "\r\n";
  dati += corto.chiusura.linea() + "\r\n";
  dati += prova::RigaProva().linea() + "EXTRA\r\n";
  return dati;
}

void confronta_con_oro(const std::string& nome, const std::string& ottenuto) {
  const auto oro = std::filesystem::path(FLUSSOM_SORGENTI) / "tests" / "dati" / nome;
  if (std::getenv("FLUSSOM_AGGIORNA_ORO")) prova::scrivi_file(oro, ottenuto);
  EXPECT_EQ(ottenuto, prova::leggi_file(oro)) << "differs from " << oro;
}

TEST(TuttiIControlli, ReportAndOutputByteForByte) {
  prova::CartellaTemporanea dir;
  prova::costruisci_in(dir.percorso(), prova::tabelle_base());
  dir.scrivi("strutture.DAT", prova::strutture_base() + "\"12345\",\"AMBULATORIO CINQUE\",\"26\",\"\",\"\"\r\n");
  dir.scrivi("FLM03TUTTI.txt", dati_di_prova());

  OpzioniControlla o;
  o.cartella = dir.percorso();
  o.file = (dir / "FLM03TUTTI.txt").string();
  o.json = (dir / "risultato.json").string();
  std::istringstream in;
  std::ostringstream out, err;
  const OrologioFisso oggi{std::chrono::year{2026} / 12 / 6};
  EXPECT_EQ(comando_controlla(o, oggi, in, out, err), 1);
  EXPECT_EQ(err.str(), "");
  confronta_con_oro("tutti_i_controlli.RPT", dir.leggi("errori.RPT"));
  std::string uscita = out.str();
  uscita.replace(0, uscita.find('\n'), "Apertura File : FLM03TUTTI.txt");
  confronta_con_oro("tutti_i_controlli.out", uscita);
  // Every message's rule and fields, as the JSON result gives them.
  std::string json = dir.leggi("risultato.json");
  const std::string file = "\"file\": \"";
  const auto inizio = json.find(file) + file.size();
  json.replace(inizio, json.find('"', inizio) - inizio, "FLM03TUTTI.txt");
  confronta_con_oro("tutti_i_controlli.json", json);
}

}  // namespace
}  // namespace flussom

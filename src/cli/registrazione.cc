#include "cli/registrazione.h"

#include "base/cp1252.h"
#include "base/testo.h"

namespace flussom {

namespace {

std::optional<std::string> solo_cifre(std::string_view utf8, std::size_t massimo, bool obbligatorio,
                                      const char* nome, std::string& errore) {
  const std::string_view t = trim(utf8);
  if (t.empty() && obbligatorio) {
    errore = std::string(nome) + " obbligatorio";
    return std::nullopt;
  }
  for (char c : t) {
    if (!filtra_tasto_codice(c)) {
      errore = std::string(nome) + " \"" + std::string(t) + "\": sono ammesse solo cifre";
      return std::nullopt;
    }
  }
  if (t.size() > massimo) {
    errore = std::string(nome) + " \"" + std::string(t) + "\": al massimo " +
              std::to_string(massimo) + " cifre";
    return std::nullopt;
  }
  return std::string(t);
}

}  // namespace

std::optional<std::string> valida_codice_struttura(std::string_view utf8, bool obbligatorio,
                                                   std::string& errore) {
  return solo_cifre(utf8, max_codice_struttura, obbligatorio, "Codice Struttura", errore);
}

std::optional<std::string> valida_branca(std::string_view utf8, bool obbligatorio,
                                         std::string& errore) {
  return solo_cifre(utf8, max_branca, obbligatorio, "Codice Branca", errore);
}

std::optional<std::string> valida_denominazione(std::string_view utf8, std::string& errore) {
  const auto cp = utf8_a_cp1252_esatto(trim(utf8));
  if (!cp) {
    errore = "Denominazione \"" + std::string(utf8) + "\": contiene caratteri non ammessi";
    return std::nullopt;
  }
  std::string out;
  for (char c : *cp) {
    if (carattere_di_controllo(c)) {
      errore = "Denominazione \"" + std::string(utf8) + "\": non sono ammessi i caratteri di controllo";
      return std::nullopt;
    }
    const auto f = filtra_tasto_denominazione(c);
    if (!f) {
      errore = "Denominazione \"" + std::string(utf8) +
                "\": non sono ammessi le cifre, la virgola, il trattino, il punto, la barra e le virgolette";
      return std::nullopt;
    }
    out.push_back(*f);
  }
  if (out.size() > max_denominazione) {
    errore = "Denominazione \"" + std::string(utf8) + "\": al massimo " +
              std::to_string(max_denominazione) + " caratteri";
    return std::nullopt;
  }
  return out;
}

}  // namespace flussom

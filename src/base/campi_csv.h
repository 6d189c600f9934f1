// Comma-separated fields as the facility and exemption tables are read: blanks before a
// field are skipped; a quoted field runs to the next quote, even across lines, and anything
// between the closing quote and the next delimiter is dropped; an unquoted field ends at a
// comma or a line break and loses its trailing blanks; CR LF, CR and LF each break a line,
// and a line break separates fields like a comma. Empty lines hold no field.
//
// Every field is a stretch of the text itself (the quotes and the blanks around it left
// out), so the fields are handed out as views: reading a table costs no copy of its fields.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace flussom {

class LettoreCampi {
 public:
  // Where a field begins: the position, and whether a comma was just read (then a line end
  // or the end of the text still makes an empty field).
  struct Punto {
    std::size_t posizione = 0;
    bool dopo_virgola = false;
  };

  explicit LettoreCampi(std::string_view testo) : testo_(testo) {}
  LettoreCampi(std::string_view testo, Punto da) : testo_(testo), punto_(da) {}

  Punto punto() const { return punto_; }
  // The next field, a view into the text (an empty one too); false at the end of the text.
  bool prossimo(std::string_view& campo);
  // The next campi.size() fields; false when fewer remain (an incomplete last group).
  bool prossimo_record(std::span<std::string_view> campi);

 private:
  std::string_view testo_;
  Punto punto_;
};

// Every field of the text, in order.
std::vector<std::string> leggi_campi(std::string_view contenuto);

// Writing a field: appended as it is, or, when `tra_virgolette`, between double quotes with
// each quote inside doubled (what the writer decides must be quoted depends on its dialect).
void aggiungi_campo_csv(std::string& csv, std::string_view campo, bool tra_virgolette);

}  // namespace flussom

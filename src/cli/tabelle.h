// `flussom tabelle`: builds the reference tables from CSV sources and shows a table as CSV.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace flussom {

// Builds every table from the CSV sources in `sorgenti` into `dest`; on a bad source prints
// its file, line and reason on `err` and writes nothing. Exit status: 0 done, 2 refused.
int tabelle_costruisci(const std::filesystem::path& sorgenti, const std::filesystem::path& dest,
                       std::ostream& out, std::ostream& err);

// Prints a table back as CSV (UTF-8). Exit status: 0 done, 2 unreadable or unknown table.
int tabelle_mostra(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

}  // namespace flussom

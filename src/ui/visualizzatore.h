// The report viewer: the command line that opens errori.RPT of the application folder in
// the platform's text editor (NOTEPAD on Windows; on other systems the first graphical text
// editor found, see editore_testo).
#pragma once

#include <QString>
#include <filesystem>

namespace flussom {

QString comando_visualizza_report(const std::filesystem::path& cartella);

#ifndef _WIN32
// The editor of this system, as the start of a command line: the first editor of a fixed
// list found in the folders of `path` (a PATH value), with the options that keep it a
// process of its own until its window is closed; xdg-open when none is found.
QString editore_testo(const QString& path);

// `testo` as one word of a command line: in double quotes when it holds blanks or quotes.
QString argomento_comando(const QString& testo);
#endif

}  // namespace flussom

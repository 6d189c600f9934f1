// Paths between the widgets (QString) and the core (std::filesystem::path), and the full
// path of a file chosen in the file list.
#pragma once

#include <QString>
#include <filesystem>

namespace flussom {

std::filesystem::path a_percorso(const QString& testo);
QString da_percorso(const std::filesystem::path& percorso);

// `cartella` (in the platform's own separators), one separator unless the folder already
// ends in one (a drive or file-system root), and `nome`.
QString unisci_percorso(const QString& cartella, const QString& nome);

}  // namespace flussom

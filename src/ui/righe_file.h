// Lines of a data file picked by number, as the check run counted them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace flussom {

// Lines `prima` to `ultima` (1-based) of the file, without their breaks, in Windows-1252;
// fewer when the file ends before. Empty, with the reason in `errore`, when it cannot be read.
std::vector<std::string> leggi_righe(const std::filesystem::path& file, std::int64_t prima,
                                     std::int64_t ultima, std::string& errore);

}  // namespace flussom

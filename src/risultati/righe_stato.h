// The lines of the status text that the front ends show around a run: the run tells its
// own (the verdict, the summary), these are the ones a front end shows before it starts.
#pragma once

#include <string>
#include <string_view>

namespace flussom {

// The first line once a data file is chosen: "Apertura File : " and the file's name as the
// front end shows it (the bytes are kept as they are: ASCII text fits either encoding).
std::string riga_apertura(std::string_view file);

}  // namespace flussom

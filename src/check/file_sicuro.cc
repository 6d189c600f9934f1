#include "check/file_sicuro.h"

namespace flussom {

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  const bool uguali = std::filesystem::equivalent(a, b, ec);
  return !ec && uguali;
}

}  // namespace flussom

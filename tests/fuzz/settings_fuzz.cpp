// Reads any bytes as a settings file and checks that writing the result and
// reading it again gives the same settings, and that the file keeps its
// fixed number of lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/settings.h"

namespace {

Settings RegistryColors() {
  Settings base;
  base.ColorDistortionR = L"901";
  base.ColorDistortionG = L"";
  base.ColorDistortionB = L"1100";
  return base;
}

size_t LineEnds(const std::string& file) {
  size_t count = 0;
  for (size_t i = 0; i + 1 < file.size(); ++i) {
    if (file[i] == '\r' && file[i + 1] == '\n') ++count;
  }
  return count;
}

void CheckFixedPoint(const std::string& bytes, bool readColorBackup) {
  static const size_t kLines = LineEnds(RenderSettings(Settings{}, L"V1"));
  const Settings first = ParseSettings(bytes, readColorBackup, RegistryColors());
  const std::string file = RenderSettings(first, L"V1");
  if (!(ParseSettings(file, readColorBackup, RegistryColors()) == first)) std::abort();
  if (LineEnds(file) != kLines) std::abort();
  for (size_t i = 0; i < file.size(); ++i) {
    const bool crLf = file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n';
    if (file[i] == '\r' && !crLf) std::abort();
    if (file[i] == '\n' && (i == 0 || file[i - 1] != '\r')) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckFixedPoint(bytes, false);
  CheckFixedPoint(bytes, true);
  return 0;
}

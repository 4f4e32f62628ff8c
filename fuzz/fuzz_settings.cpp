// Dravolex.cfg as the plug-in loads it at start. Loading is a fixed point:
// the settings a second start reads from the file the first one left are
// the same.
#include <unistd.h>

#include <fstream>

#include "expert_settings.h"
#include "fuzz_support.h"

namespace {

std::filesystem::path HostProgram() {
  static const std::filesystem::path folder = [] {
    std::string pattern = "/dev/shm/drvx-fuzz-settings-XXXXXX";
    if (!::mkdtemp(pattern.data())) pattern = ".";
    return std::filesystem::path(pattern);
  }();
  return folder / "dravolex-host";
}

bool Same(const drvx::settings::TExpertSettings& a, const drvx::settings::TExpertSettings& b) {
  return a.ExceptionCode == b.ExceptionCode && a.CreateLocalMembers == b.CreateLocalMembers &&
         a.LocalFields == b.LocalFields && a.ClassDiagramPrefix == b.ClassDiagramPrefix &&
         a.SequenceDiagramPrefix == b.SequenceDiagramPrefix &&
         a.UseCaseDiagramPrefix == b.UseCaseDiagramPrefix &&
         a.RobustnessDiagramPrefix == b.RobustnessDiagramPrefix &&
         a.StateDiagramPrefix == b.StateDiagramPrefix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace drvx;
  const auto host = HostProgram();
  std::ofstream(host.parent_path() / "Dravolex.cfg", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  const settings::TExpertSettings first(host);
  const settings::TExpertSettings second(host);
  if (!Same(first, second)) fuzz::Wrong("the settings changed between two starts");
  return 0;
}

// A project file. One that loads is written out again, and what is written
// loads and writes to the same text.
#include "fuzz_support.h"
#include "project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace drvx::modelhost;
  std::unique_ptr<ModelProject> project;
  try {
    project = ParseProject(drvx::fuzz::Text(data, size), "fuzz.mmproj");
  } catch (const ProjectFileError&) {
    return 0;
  }
  const std::string once = FormatProject(*project);
  std::string twice;
  try {
    twice = FormatProject(*ParseProject(once, "written.mmproj"));
  } catch (const ProjectFileError& e) {
    drvx::fuzz::Wrong(std::string("a written project does not load: ") + e.what());
  }
  if (once != twice) drvx::fuzz::Wrong("a written project does not write the same again");
  return 0;
}

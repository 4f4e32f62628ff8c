#include "page.h"

#include <stdexcept>

namespace drvx::ui {
namespace {

template <class T>
T& Started(const std::unique_ptr<T>& worker) {
  if (!worker) throw std::runtime_error("the window FrmMain has not been shown yet; show it first");
  return *worker;
}

}  // namespace

diagrams::TMMDiagramExplorer& Workers::Explorer() const { return Started(explorer); }
groups::TDiagramGroupManager& Workers::GroupManager() const { return Started(groupManager); }
codegen::TExpertFunctions& Workers::Functions() const { return Started(functions); }

void Page::PlaceRow(platform::Placement start, std::initializer_list<platform::Control*> controls) {
  platform::Placement placement = start;
  for (platform::Control* control : controls) {
    control->PlaceIn(&sheet_, placement);
    placement = platform::Placement::Inline;
  }
}

}  // namespace drvx::ui

// A group file read into the group manager. What it writes back is a fixed
// point: reading and writing it again gives the same bytes.
#include "drvx/platform/controls.h"
#include "fuzz_support.h"
#include "group_manager.h"

namespace {

std::vector<std::uint8_t> ReadThenWrite(drvx::groups::TDiagramGroupManager& manager,
                                        const std::uint8_t* data, std::size_t size) {
  drvx::settings::TTypeMemoryStream in;
  in.Write(data, std::int32_t(size));
  in.SetPosition(0);
  manager.ReadGroups(in);
  drvx::settings::TTypeMemoryStream out;
  manager.WriteGroups(out);
  return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace drvx;
  auto& project = fuzz::Host().FreshProject();
  for (int id : {7, 8}) {
    auto diagram = project.NewDiagram(0, id);
    diagram->name = id == 7 ? u"sqA" : u"csB";
    project.AddDiagram(diagram);
  }
  platform::ComboBox selector(nullptr, "cbxDgGroupSelect");
  platform::ListBox members(nullptr, "lbxDgGroupMemberList");
  selector.SetSorted(true);
  groups::TDiagramGroupManager manager(fuzz::Host().Services(), nullptr);
  manager.SetControls(selector, members);
  const auto once = ReadThenWrite(manager, data, size);
  const auto twice = ReadThenWrite(manager, once.data(), once.size());
  if (once != twice) fuzz::Wrong("writing the groups read back from a group file changed them");
  if (selector.Count() != int(manager.Groups().size()))
    fuzz::Wrong("the selector does not list every group");
  return 0;
}

#include "host_operations.h"

#include <stdexcept>

#include "host_session.h"
#include "model_lookup.h"
#include "project_file.h"

namespace drvx::modelhost {
namespace {

std::string FullPath(const std::filesystem::path& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

}  // namespace

void HostOperations::Notify(ProjectEvent event, const std::string& fileName, bool vetoFails) {
  const EventResult result = SendProjectEvent(host_.session, event, fileName);
  for (const auto& failure : result.failures)
    host_.err << "warning: a notifier's " << failure << '\n';
  if (vetoFails && result.veto)
    throw std::runtime_error(std::string("a plug-in declined the ") +
                             kProjectEventNames[int(event)] + " event; nothing was changed");
}

void HostOperations::Open(const std::filesystem::path& file) {
  const std::string full = FullPath(file);
  Notify(ProjectEvent::BeforeOpen, full, true);
  host_.session.ReplaceProject(LoadProject(file));
  host_.out << "opened " << host_.session.Project().fileName.string() << '\n';
  Notify(ProjectEvent::AfterOpen, full, false);
}

void HostOperations::New() {
  Notify(ProjectEvent::BeforeNew, "", true);
  host_.session.ReplaceProject(std::make_unique<ModelProject>());
  host_.out << "new project\n";
  Notify(ProjectEvent::AfterNew, "", false);
}

void HostOperations::Save(const std::filesystem::path& file) {
  ModelProject& project = host_.session.Project();
  const std::filesystem::path path = file.empty() ? project.fileName : file;
  if (path.empty()) throw std::runtime_error("the project has no file yet: save FILE");
  const std::string full = FullPath(path);
  Notify(ProjectEvent::BeforeSave, full, true);
  SaveProject(project, path);
  host_.out << "saved " << project.fileName.string() << '\n';
  Notify(ProjectEvent::AfterSave, full, false);
}

void HostOperations::Execute(int expert, int index) {
  const std::string failure = ExecuteVerb(ExpertAt(host_.session, expert), index);
  if (!failure.empty())
    throw std::runtime_error("verb " + std::to_string(index) + " failed: " + failure);
}

void HostOperations::Select(Selectable what, const std::string& name) {
  ModelProject& project = host_.session.Project();
  NavigatorState& nav = project.navigator;
  switch (what) {
    case Selectable::Class:
      SelectClass(nav, FindClass(project, name));
      break;
    case Selectable::Member:
    case Selectable::Method: {
      ModelMember& member = FindMember(project, name);
      if (what == Selectable::Method && member.category != mmapi::mcMethod)
        throw std::runtime_error(name + " is not a method");
      SelectMember(nav, member);
      break;
    }
    case Selectable::Module:
      nav.currentModule = ComPtr<ModelModule>::Share(&FindModule(project, name));
      break;
    case Selectable::Diagram:
      nav.currentDiagram = ComPtr<ModelDiagram>::Share(&FindDiagram(project, name));
      break;
  }
}

}  // namespace drvx::modelhost

#include "plugin_loader.h"

#include <algorithm>

namespace drvx::modelhost {

PluginLoader::PluginLoader(HostSession& session, std::function<void(const std::string&)> report)
    : session_(session), report_(std::move(report)) {}

PluginLoader::~PluginLoader() { UnloadAll(); }

std::filesystem::path PluginLoader::ExpertsFolderOf(const std::filesystem::path& hostExecutable) {
  return hostExecutable.parent_path().parent_path() / "Experts";
}

void PluginLoader::LoadFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::vector<std::filesystem::path> libraries;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file() && entry.path().extension() == platform::SharedLibrarySuffix())
      libraries.push_back(entry.path());
  }
  if (error) {
    report_("no plug-ins: cannot read the folder " + folder.string() + ": " + error.message());
    return;
  }
  std::sort(libraries.begin(), libraries.end());
  for (const auto& path : libraries) Load(path);
}

bool PluginLoader::Load(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  std::unique_ptr<platform::DynamicLibrary> library;
  try {
    library = std::make_unique<platform::DynamicLibrary>(path);
  } catch (const std::exception& e) {
    report_("skipped " + name + ": cannot load it: " + e.what());
    return false;
  }
  auto version = reinterpret_cast<mmapi::MMExpertVersionProcType>(
      library->Symbol(mmapi::MMExpertVersionProcName));
  auto entry = reinterpret_cast<mmapi::MMExpertEntryProcType>(
      library->Symbol(mmapi::MMExpertEntryProcName));
  auto exit = reinterpret_cast<mmapi::MMExpertExitProcType>(
      library->Symbol(mmapi::MMExpertExitProcName));
  if (!version || !entry || !exit) {
    std::string missing;
    if (!version) missing += std::string(missing.empty() ? "" : ", ") + mmapi::MMExpertVersionProcName;
    if (!entry) missing += std::string(missing.empty() ? "" : ", ") + mmapi::MMExpertEntryProcName;
    if (!exit) missing += std::string(missing.empty() ? "" : ", ") + mmapi::MMExpertExitProcName;
    report_("skipped " + name + ": it does not export " + missing);
    return false;
  }
  const std::int32_t answer = version();
  if (answer != mmapi::MMExpertInterfaceVersion) {
    report_("skipped " + name + ": it was made for interface version " + std::to_string(answer) +
            ", this host has version " + std::to_string(mmapi::MMExpertInterfaceVersion));
    return false;
  }
  const int index = nextIndex_++;
  session_.SetRegistrant(index);
  entry(session_.Services());
  session_.SetRegistrant(-1);
  if (std::string failure = session_.TakeEntryFailure(); !failure.empty()) {
    session_.ReleaseRegistrations(index);
    exit();
    report_("skipped " + name + ": its entry function failed: " + failure);
    return false;
  }
  const auto experts = std::count_if(session_.Experts().begin(), session_.Experts().end(),
                                     [&](const auto& r) { return r.plugin == index; });
  const auto notifiers = std::count_if(session_.Notifiers().begin(), session_.Notifiers().end(),
                                       [&](const auto& r) { return r.plugin == index; });
  report_("loaded " + name + " (interface version " + std::to_string(answer) + "): " +
          std::to_string(experts) + (experts == 1 ? " expert, " : " experts, ") +
          std::to_string(notifiers) + (notifiers == 1 ? " project notifier" : " project notifiers"));
  plugins_.push_back({path, std::move(library), exit, index});
  return true;
}

void PluginLoader::UnloadAll() {
  while (!plugins_.empty()) {
    LoadedPlugin& plugin = plugins_.back();
    session_.ReleaseRegistrations(plugin.index);
    plugin.exit();
    plugins_.pop_back();  // unloads the library
  }
}

}  // namespace drvx::modelhost

#include "plugin_loader.h"

#include <algorithm>
#include <optional>

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

namespace {

// Runs a call into a plug-in; an exception it lets out is caught here and
// told as a text, so no plug-in can end the host.
template <class Call>
std::optional<std::string> Failure(Call&& call) {
  try {
    call();
    return std::nullopt;
  } catch (const std::exception& e) {
    return std::string("it threw: ") + e.what();
  } catch (...) {
    return std::string("it threw an exception");
  }
}

// The three functions a plug-in exports.
struct Exports {
  mmapi::MMExpertVersionProcType version;
  mmapi::MMExpertEntryProcType entry;
  mmapi::MMExpertExitProcType exit;
};

// The library's exports, or none with the reason in `whyNot`.
std::optional<Exports> FindExports(platform::DynamicLibrary& library, std::string& whyNot) {
  const char* names[] = {mmapi::MMExpertVersionProcName, mmapi::MMExpertEntryProcName,
                         mmapi::MMExpertExitProcName};
  void* symbols[3];
  std::string missing;
  for (int i = 0; i < 3; ++i) {
    symbols[i] = library.Symbol(names[i]);
    if (!symbols[i]) missing += std::string(missing.empty() ? "" : ", ") + names[i];
  }
  if (!missing.empty()) {
    whyNot = "it does not export " + missing;
    return std::nullopt;
  }
  for (int i = 0; i < 3; ++i) {
    if (!platform::DynamicLibrary::IsFunction(symbols[i])) {
      whyNot = std::string("its export ") + names[i] + " is not a function";
      return std::nullopt;
    }
  }
  return Exports{reinterpret_cast<mmapi::MMExpertVersionProcType>(symbols[0]),
                 reinterpret_cast<mmapi::MMExpertEntryProcType>(symbols[1]),
                 reinterpret_cast<mmapi::MMExpertExitProcType>(symbols[2])};
}

}  // namespace

bool PluginLoader::Load(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  std::unique_ptr<platform::DynamicLibrary> library;
  try {
    library = std::make_unique<platform::DynamicLibrary>(path);
  } catch (const std::exception& e) {
    report_("skipped " + name + ": cannot load it: " + e.what());
    return false;
  }
  std::string whyNot;
  const auto exports = FindExports(*library, whyNot);
  if (!exports) {
    report_("skipped " + name + ": " + whyNot);
    return false;
  }
  const auto version = exports->version;
  const auto entry = exports->entry;
  const auto exit = exports->exit;
  std::int32_t answer = 0;
  if (auto failure = Failure([&] { answer = version(); })) {
    report_("skipped " + name + ": its version function failed: " + *failure);
    return false;
  }
  if (answer != mmapi::MMExpertInterfaceVersion) {
    report_("skipped " + name + ": it was made for interface version " + std::to_string(answer) +
            ", this host has version " + std::to_string(mmapi::MMExpertInterfaceVersion));
    return false;
  }
  const int index = nextIndex_++;
  session_.SetRegistrant(index);
  const auto thrown = Failure([&] { entry(session_.Services()); });
  session_.SetRegistrant(-1);
  std::string failure = session_.TakeEntryFailure();
  if (thrown) failure = *thrown;
  if (!failure.empty()) {
    session_.ReleaseRegistrations(index);
    if (auto exitFailure = Failure(exit)) failure += "; its exit function failed too: " + *exitFailure;
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
    if (auto failure = Failure(plugin.exit))
      report_(plugin.path.filename().string() + ": its exit function failed: " + *failure);
    plugins_.pop_back();  // unloads the library
  }
}

}  // namespace drvx::modelhost

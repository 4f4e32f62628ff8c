#include "expert_settings.h"

#include <charconv>
#include <stdexcept>

#include "drvx/platform/file_version.h"
#include "drvx/platform/files.h"
#include "drvx/platform/paths.h"
#include "install_layout.h"

namespace drvx::settings {
namespace {

std::string JoinLines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The string fields in file order, with their defaults.
struct StringValue {
  std::string TExpertSettings::*field;
  std::string (*fallback)();
};

std::string Cs() { return "cs"; }
std::string Ac() { return "ac"; }
std::string Cl() { return "cl"; }
std::string Ud() { return "ud"; }
std::string Im() { return "im"; }
std::string Mm() { return "mm"; }
std::string Rb() { return "rb"; }
std::string Sq() { return "sq"; }
std::string St() { return "st"; }
std::string Uc() { return "uc"; }

constexpr StringValue kPrefixes[] = {
    {&TExpertSettings::ClassDiagramPrefix, Cs},
    {&TExpertSettings::ActivityDiagramPrefix, Ac},
    {&TExpertSettings::CollaborationDiagramPrefix, Cl},
    {&TExpertSettings::DependencyDiagramPrefix, Ud},
    {&TExpertSettings::ImplementationDiagramPrefix, Im},
    {&TExpertSettings::MindMapDiagramPrefix, Mm},
    {&TExpertSettings::RobustnessDiagramPrefix, Rb},
    {&TExpertSettings::SequenceDiagramPrefix, Sq},
    {&TExpertSettings::StateDiagramPrefix, St},
    {&TExpertSettings::UseCaseDiagramPrefix, Uc},
};

}  // namespace

std::string DefaultExceptionCode() {
  return JoinLines({"//===", "EXCEPT", "  on E: Exception do", "  begin",
                    "    FExMsg:='Exception in <!ClassName!>.<!MemberName!>:'+E.Message;",
                    "    if FDiagnose<>nil then", "      FDiagnose.ReportError(0,FExMsg)", "    else",
                    "      ShowMessage(FExMsg);", "  end;", "END;"});
}

std::string DefaultLocalFields() {
  return JoinLines({"FDiagnose,TDiagnoseZk,scPrivate", "FExMsg,String,scPrivate"});
}

std::filesystem::path PluginLibraryPathFor(const std::filesystem::path& hostExecutable) {
  const std::string sep(1, std::filesystem::path::preferred_separator);
  std::string path = hostExecutable.string();
  for (const char* host : kHostProgramNames)
    path = ReplaceAll(path, sep + "bin" + sep + host, sep + "Experts" + sep + kPluginLibraryName);
  return path;
}

TExpertSettings::TExpertSettings() : TExpertSettings(platform::ExecutablePath()) {}

TExpertSettings::TExpertSettings(const std::filesystem::path& hostExecutable) {
  ConfigFileName = (hostExecutable.parent_path() / "Dravolex.cfg").string();
  QueryFileVersion(PluginLibraryPathFor(hostExecutable), PluginFileVersion);
  if (std::filesystem::exists(ConfigFileName)) LoadFromFile(ConfigFileName, platform::kMaxSettingsFile);
  LoadSettings();
}

void TExpertSettings::LoadSettings() {
  // Once a value is missing or damaged, it and every later value take their
  // defaults: what follows a damaged string cannot be trusted.
  bool sound = true;
  bool defaulted = false;
  auto readString = [&](std::string& field, const std::string& fallback) {
    if (sound && Position() < Size()) {
      std::string value;
      if (ReadStringChecked(value)) {
        field = std::move(value);
        return;
      }
      sound = false;
    }
    field = fallback;
    defaulted = true;
  };
  for (const auto& prefix : kPrefixes) readString(this->*prefix.field, prefix.fallback());
  readString(ExceptionCode, DefaultExceptionCode());
  if (sound && Position() < Size()) {
    CreateLocalMembers = ReadBoolean();
  } else {
    CreateLocalMembers = true;
    defaulted = true;
  }
  readString(LocalFields, DefaultLocalFields());
  if (sound && Size() - Position() >= 4) {
    RecordingPageMessages = ReadInteger();
    if (RecordingPageMessages < 1) RecordingPageMessages = kDefaultRecordingPageMessages;
  } else {
    RecordingPageMessages = kDefaultRecordingPageMessages;
    defaulted = true;
  }
  if (defaulted) SaveSettings();
}

void TExpertSettings::SaveSettings() {
  SetSize(0);
  SetPosition(0);
  for (const auto& prefix : kPrefixes) WriteString(this->*prefix.field);
  WriteString(ExceptionCode);
  WriteBoolean(CreateLocalMembers);
  WriteString(LocalFields);
  WriteInteger(RecordingPageMessages);
  // What is written must load again: settings larger than the file may be
  // are refused, and the file keeps what it had.
  if (std::uint64_t(Size()) > platform::kMaxSettingsFile)
    throw std::runtime_error("the settings take " + std::to_string(Size()) + " bytes, more than the " +
                             std::to_string(platform::kMaxSettingsFile) + " bytes " +
                             std::filesystem::path(ConfigFileName).filename().string() +
                             " may hold; they were not saved (shorten the exception code or the "
                             "local fields)");
  SaveToFile(ConfigFileName);
}

int TExpertSettings::QueryFileVersion(const std::filesystem::path& path, std::string& version) {
  const auto text = platform::FileVersionText(path);
  if (!text) return -1;
  version = *text;
  const auto dot = version.rfind('.');
  if (dot == std::string::npos) return -1;
  const std::string_view build = std::string_view(version).substr(dot + 1);
  int number = -1;
  auto [ptr, ec] = std::from_chars(build.data(), build.data() + build.size(), number);
  return build.empty() || ec != std::errc() || ptr != build.data() + build.size() ? -1 : number;
}

}  // namespace drvx::settings

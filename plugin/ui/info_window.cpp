#include "info_window.h"

#include "drvx/platform/file_version.h"
#include "drvx/platform/paths.h"
#include "expert_settings.h"

namespace drvx::ui {

TKorvantiInfoFrm::TKorvantiInfoFrm() : TKorvantiInfoFrm(platform::ExecutablePath()) {}

TKorvantiInfoFrm::TKorvantiInfoFrm(const std::filesystem::path& hostExecutable)
    : Form("KorvantiInfoFrm", "Info") {
  lbVersion.SetCaption(VersionText(hostExecutable));
  OnActivate = [this] { FormActivate(); };
  Timer1.OnTimer = [this] { Close(); };
  Button1.OnClick = [this] { Close(); };
  // One line each, the button below them.
  for (platform::Control* line : std::initializer_list<platform::Control*>{
           &Label1, &Label2, &Label3, &Label4, &lbVersion, &Button1})
    line->PlaceIn(nullptr, platform::Placement::NewRow);
}

std::string TKorvantiInfoFrm::VersionText(const std::filesystem::path& hostExecutable) {
  const std::filesystem::path library = settings::PluginLibraryPathFor(hostExecutable);
  std::string text = "Generation Date: 08.04.2006 09:21:00";
  if (!std::filesystem::exists(library)) return text;
  const auto version = platform::FileVersionText(library);
  if (!version) return text;
  const auto dot = version->rfind('.');
  if (dot == std::string::npos) return "Version " + *version + " build ";
  return "Version " + version->substr(0, dot) + " build " + version->substr(dot + 1);
}

void TKorvantiInfoFrm::FormActivate() { Timer1.SetActive(true); }

}  // namespace drvx::ui

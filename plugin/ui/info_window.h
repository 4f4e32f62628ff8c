// TKorvantiInfoFrm: the plug-in's information window — title, version, and a
// timer that closes it (about one second at start-up, ten from "About").
// Made for each showing, shown modally, destroyed after it has closed.
#pragma once

#include <filesystem>
#include <string>

#include "drvx/platform/forms.h"

namespace drvx::ui {

class TKorvantiInfoFrm : public platform::Form {
 public:
  // The version text is read from the plug-in library beside the host
  // program (or, for a host program of another name, from that program).
  explicit TKorvantiInfoFrm(const std::filesystem::path& hostExecutable);
  TKorvantiInfoFrm();  // for the running host program

  // The version line the window shows.
  static std::string VersionText(const std::filesystem::path& hostExecutable);

  platform::Panel Image1{this, "Image1", "(picture)"};
  platform::Panel Label1{this, "Label1", "Dravolex"};
  platform::Panel Label2{this, "Label2", "Modelling Expert"};
  platform::Panel Label3{this, "Label3", "https://dravolex.invalid/modelling-expert"};
  platform::Panel Label4{this, "Label4", "A plug-in for the modelling host. Use at your own risk."};
  platform::Panel lbVersion{this, "lbVersion", ""};
  platform::Button Button1{this, "Button1", "continue...."};
  platform::Timer Timer1{this, "Timer1", 10000};

 private:
  void FormActivate();
};

}  // namespace drvx::ui

// The Sequences page: a call list typed, picked from the model's methods or
// read from a file, drawn as a sequence diagram; and Tasks >
// MakeSeqenceDiagram from file.
#pragma once

#include <string>
#include <vector>

#include "host_api.h"
#include "page.h"

namespace drvx::ui {

class TSequencesPage final : public Page {
 public:
  // makeFromFile: the window's menu item Tasks > MakeSeqenceDiagram from file.
  TSequencesPage(const PageSite& site, host::Services services, platform::Button& makeFromFile);

  std::vector<EventRow> Events() override;
  void Place() override;

  // Appends the model's methods and events ("Class.Member") to the source list.
  void FillMethodList();
  // Adds the selected source entry to the call list and shows its member.
  void AddAndShowMethod();
  void btReloadClick();
  void btMoveMsgClick();
  void btLoadFromFileClick();
  void btFileSaveClick();
  void SpeedButton3Click();
  void Button1Click();
  void MakeSeqenceDiagram1Click();

  platform::ListBox lbxSequencesSource{form_, "lbxSequencesSource"};
  platform::Memo SequencesMemo{form_, "SequencesMemo"};
  platform::Button btReload{form_, "btReload", "Reload"};
  platform::Button btMoveMsg{form_, "btMoveMsg", ">>"};
  platform::Button btLoadFromFile{form_, "btLoadFromFile", "File open"};
  platform::Button btFileSave{form_, "btFileSave", "File save"};
  platform::Button SpeedButton3{form_, "SpeedButton3", "Invert"};
  platform::Button Button1{form_, "Button1", "Make Sequence Diagram"};

 private:
  // Draws the lines as a new sequence diagram and opens it (nothing is
  // opened when the generation failed).
  void GenerateAndOpen(const std::string& name, const std::vector<std::string>& lines);

  host::Services FToolServices;
  platform::Button& MakeSeqenceDiagram1;
};

}  // namespace drvx::ui

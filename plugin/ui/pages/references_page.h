// The References page: the diagrams whose hyperlinks refer to the current
// member, diagram or class; the symbol found is shown in the window's
// SymbolName panel.
#pragma once

#include <string>
#include <vector>

#include "page.h"

namespace drvx::ui {

class TReferencesPage final : public Page {
 public:
  // symbolName: the window's SymbolName panel, which shows the symbol found.
  TReferencesPage(const PageSite& site, platform::Panel& symbolName);

  std::vector<EventRow> Events() override;
  std::vector<MouseMoveRow> MouseMoves() override;
  void Place() override;

  void SpBtSearchHyperLinksCurrentMemberClick();
  void SpBtSearchHyperLinksCurrentDiagramClick();
  void SpBtSearchHyperLinksCurrentClassClick();
  void SpBtSearchHyperLinksCurrentMemberMouseMove(int x, int y);
  void SpBtSearchHyperLinksCurrentDiagramMouseMove(int x, int y);
  void SpBtSearchHyperLinksCurrentClassMouseMove(int x, int y);
  // A click outside the lines (none selected) does nothing.
  void LbxReferencesClick();
  void LbxReferencesMouseMove(int x, int y);
  void SpeedButton1Click();
  void SpeedButton2Click();

  platform::Button SpBtSearchHyperLinksCurrentMember{form_, "SpBtSearchHyperLinksCurrentMember", "Member"};
  platform::Button SpBtSearchHyperLinksCurrentDiagram{form_, "SpBtSearchHyperLinksCurrentDiagram", "Diagram"};
  platform::Button SpBtSearchHyperLinksCurrentClass{form_, "SpBtSearchHyperLinksCurrentClass", "Class"};
  platform::ListBox LbxReferences{form_, "LbxReferences"};
  platform::Button SpeedButton1{form_, "SpeedButton1", "copy to clipboard"};
  platform::Button SpeedButton2{form_, "SpeedButton2", "add links"};

 private:
  void ShowSearch(void (diagrams::TMMDiagramExplorer::*search)(diagrams::Lines&, diagrams::Lines&));
  static void RefreshHint(platform::Button& button, const char* label, const std::string& name);

  platform::Panel& pnlNames;
  // The symbol of each line of LbxReferences.
  std::vector<std::string> FSymbolNames;
};

}  // namespace drvx::ui

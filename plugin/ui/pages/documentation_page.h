// The DgDoc page: the documentation written into the chosen diagrams, to the
// clipboard, a file or the printer.
#pragma once

#include "page.h"

namespace drvx::ui {

class TDocumentationPage final : public Page {
 public:
  explicit TDocumentationPage(const PageSite& site);

  std::vector<EventRow> Events() override;
  void Place() override;

  // Lists the model's diagrams and selects the current one (all of them when
  // none is current).
  void ReloadAvailableDiagrams();
  void spbtReloadDiagramsClick();
  void lbxDiagramsAvailableMouseUp();
  void btAddSelectedClick();
  void btAddAllClick();
  void btRemoveSelectedClick();
  void btRemoveAllClick();
  void rgDestinationClick();
  void btExtractDocClick();

  platform::Button spbtReloadDiagrams{form_, "spbtReloadDiagrams", ""};
  platform::ListBox lbxDiagramsAvailable{form_, "lbxDiagramsAvailable"};
  platform::Button btAddSelected{form_, "btAddSelected", ">"};
  platform::Button btAddAll{form_, "btAddAll", ">>"};
  platform::Button btRemoveSelected{form_, "btRemoveSelected", "<"};
  platform::Button btRemoveAll{form_, "btRemoveAll", "<<"};
  platform::ListBox lbxDiagramsSelected{form_, "lbxDiagramsSelected"};
  platform::Button btExtractDoc{form_, "btExtractDoc", "Extract Documetation"};
  platform::RadioGroup rgDestination{form_, "rgDestination", "Destination"};
  platform::CheckBox cbWithDiagrams{form_, "cbWithDiagrams", "with Diagrams"};
  platform::CheckBox cbOneLiner{form_, "cbOneLiner", "One Liner"};
  platform::CheckBox cbIgnoreEmptySymbols{form_, "cbIgnoreEmptySymbols", "Ignore empty symbols"};

 private:
  static void MoveSelected(platform::ListBox& from, platform::ListBox& to);
  static void MoveAll(platform::ListBox& from, platform::ListBox& to);
};

}  // namespace drvx::ui

#include "method_ref_page.h"

#include "drvx/platform/dialogs.h"

namespace drvx::ui {

std::vector<EventRow> TMethodRefPage::Events() {
  return {DRVX_CLICK(FindStringInModel1), DRVX_CLICK(lbxMethodRef)};
}

void TMethodRefPage::Place() { PlaceRow(platform::Placement::Fill, {&lbxMethodRef}); }

void TMethodRefPage::FindStringInModel1Click() {
  codegen::TExpertFunctions& functions = workers_.Functions();
  const auto text = platform::CurrentDialogs().InputBox("String Finder", "Enter String:", "");
  if (!text) return;
  std::vector<std::string> lines;
  functions.FindStringInModel(lines, *text);
  lbxMethodRef.SetItems(std::move(lines));
}

void TMethodRefPage::lbxMethodRefClick() {
  const int i = lbxMethodRef.ItemIndex();
  if (i < 0) return;
  workers_.Functions().ShowReferencedMember(lbxMethodRef.Items()[std::size_t(i)]);
}

}  // namespace drvx::ui

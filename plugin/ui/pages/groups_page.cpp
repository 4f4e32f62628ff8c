#include "groups_page.h"

namespace drvx::ui {

std::vector<EventRow> TGroupsPage::Events() {
  return {
      DRVX_CLICK(spBtNewGroup),  DRVX_CLICK(spBtDeleteGroup), DRVX_CLICK(spBtLoadGroup),
      DRVX_CLICK(spBtSaveGroup), DRVX_CLICK(spBtInsCurDg),    DRVX_CLICK(spBtDelCurDg),
  };
}

void TGroupsPage::Place() {
  using platform::Placement;
  PlaceRow(Placement::NewRow,
           {&cbxDgGroupSelect, &spBtNewGroup, &spBtDeleteGroup, &spBtLoadGroup, &spBtSaveGroup});
  PlaceRow(Placement::Fill, {&lbxDgGroupMemberList});
  PlaceRow(Placement::NewRow, {&spBtInsCurDg, &spBtDelCurDg});
}

void TGroupsPage::spBtNewGroupClick() { workers_.GroupManager().NewGroupCommand(); }
void TGroupsPage::spBtDeleteGroupClick() { workers_.GroupManager().DeleteCurrentGroup(); }
void TGroupsPage::spBtLoadGroupClick() { workers_.GroupManager().LoadCommand(); }
void TGroupsPage::spBtSaveGroupClick() { workers_.GroupManager().SaveCommand(); }
void TGroupsPage::spBtInsCurDgClick() { workers_.GroupManager().InsertCurrentDiagram(); }
void TGroupsPage::spBtDelCurDgClick() { workers_.GroupManager().DeleteSelectedMember(); }

}  // namespace drvx::ui

// The DgGroups page (its tab hidden): the diagram groups of the project,
// worked by the group manager.
#pragma once

#include "page.h"

namespace drvx::ui {

class TGroupsPage final : public Page {
 public:
  using Page::Page;

  std::vector<EventRow> Events() override;
  void Place() override;

  void spBtNewGroupClick();
  void spBtDeleteGroupClick();
  void spBtLoadGroupClick();
  void spBtSaveGroupClick();
  void spBtInsCurDgClick();
  void spBtDelCurDgClick();

  platform::ComboBox cbxDgGroupSelect{form_, "cbxDgGroupSelect"};
  platform::Button spBtNewGroup{form_, "spBtNewGroup", "New Group"};
  platform::Button spBtDeleteGroup{form_, "spBtDeleteGroup", "Delete Group"};
  platform::Button spBtLoadGroup{form_, "spBtLoadGroup", "load"};
  platform::Button spBtSaveGroup{form_, "spBtSaveGroup", "save"};
  platform::ListBox lbxDgGroupMemberList{form_, "lbxDgGroupMemberList"};
  platform::Button spBtInsCurDg{form_, "spBtInsCurDg", "Current Diagram (INS)"};
  platform::Button spBtDelCurDg{form_, "spBtDelCurDg", "Delet Diagram (DEL)"};
};

}  // namespace drvx::ui

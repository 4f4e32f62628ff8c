// Headless controls: the state of a window's controls as data, under their
// component names, with the events the forms handle. A renderer (the Qt form
// view) binds each control to a widget by name and forwards user actions; the
// script runner drives them by name through the same User... operations.
//
// Every change of a control's state notifies its observers. User-interface
// thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "drvx/platform/export.h"
#include "drvx/platform/text.h"

namespace drvx::platform {

class Form;

// Virtual key codes.
inline constexpr std::uint16_t kEnterKey = 13;

// How a renderer places a control among the controls of its container, which
// it lays out in rows in the order the controls were placed (those never
// placed first, in the order they were made).
enum class Placement {
  Inline,    // beside the control before it
  NewRow,    // at the start of a new row
  Fill,      // at the start of a new row that takes the room to spare
  MenuItem,  // an entry of the menu its container (a panel) stands for
};

class ListBox;
class ComboBox;
class Memo;
class Edit;
class CheckBox;
class RadioGroup;
class Panel;
class Button;
class TabSheet;
class PageControl;
class Timer;

// One operation per kind of control. A new kind of control adds its Visit
// here, so that every visitor (a renderer's widget builder, say) has to
// answer it before it compiles.
class ControlVisitor {
 public:
  virtual void Visit(ListBox& control) = 0;
  virtual void Visit(ComboBox& control) = 0;
  virtual void Visit(Memo& control) = 0;
  virtual void Visit(Edit& control) = 0;
  virtual void Visit(CheckBox& control) = 0;
  virtual void Visit(RadioGroup& control) = 0;
  virtual void Visit(Panel& control) = 0;
  virtual void Visit(Button& control) = 0;
  virtual void Visit(TabSheet& control) = 0;
  virtual void Visit(PageControl& control) = 0;
  virtual void Visit(Timer& control) = 0;

 protected:
  ~ControlVisitor() = default;
};

class DRVX_PLATFORM_API Control {
 public:
  using Observer = std::function<void(Control&)>;

  // Registers the control with its form under `name` (a form may be null for
  // a control that belongs to no window).
  Control(Form* form, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  Form* OwnerForm() const { return form_; }
  virtual const char* TypeName() const = 0;
  // Calls the visitor's Visit for this control's kind.
  virtual void Accept(ControlVisitor& visitor) = 0;
  // One line describing the control's state, for printing.
  virtual std::string Describe() const;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& Hint() const { return hint_; }
  // Whether the hint pops up when the pointer rests on the control.
  bool ShowHint() const { return showHint_; }
  void SetHint(std::string_view hint);
  void SetShowHint(bool show);

  // Where the control lies: in a panel or a page (none: the window itself),
  // how it is placed there, and a label a renderer shows before it. Layout
  // only; no effect on behaviour.
  Control* Container() const { return container_; }
  Placement GetPlacement() const { return placement_; }
  const std::string& Label() const { return label_; }
  void PlaceIn(Control* container, Placement placement, std::string label = {});
  // When the control was placed among its window's controls (0: never).
  int PlaceOrder() const { return placeOrder_; }

  int Subscribe(Observer observer);
  void Unsubscribe(int id);

  // The pointer moved over the control (x, y relative to its top left).
  std::function<void(int x, int y)> OnMouseMove;
  void UserMouseMove(int x, int y);

  // A key (virtual key code) pressed while the control has the focus; the
  // handler may swallow it by setting it to 0. Enter that is not swallowed
  // presses the form's default button.
  std::function<void(std::uint16_t& key)> OnKeyDown;
  void UserKeyDown(std::uint16_t key);

 protected:
  void Changed();

 private:
  Form* form_;
  std::string name_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  bool showHint_ = false;
  Control* container_ = nullptr;
  Placement placement_ = Placement::Inline;
  std::string label_;
  int placeOrder_ = 0;
  std::map<int, Observer> observers_;
  int nextObserver_ = 1;
};

// Lines of text kept in insertion order, or sorted when Sorted is set.
class DRVX_PLATFORM_API ItemList : public Control {
 public:
  using Control::Control;

  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return int(items_.size()); }
  // Appends, or inserts at its sorted place; returns the index.
  int Add(std::string_view item);
  // As many Adds in this order, told as one change.
  void AddItems(std::vector<std::string> items);
  void Delete(int index);
  // As Deletes of these items (indexes as they are now), told as one change.
  void DeleteItems(std::vector<int> indexes);
  void Clear();
  void SetItems(std::vector<std::string> items);
  // Index of the first item equal to text ignoring letter case, -1 if none.
  int IndexOfIgnoringCase(std::string_view text) const;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);  // -1 for none; out of range clamps to none
  // Counts the changes of the items (not of the selection), so that a view
  // redraws the items only when they changed.
  std::uint64_t ItemsVersion() const { return itemsVersion_; }

 protected:
  virtual void ItemsChanged() {}
  // The items changed: told to the subclass, then to the observers.
  void ItemsReplaced();
  std::vector<std::string> items_;
  bool sorted_ = false;
  int itemIndex_ = -1;
  std::uint64_t itemsVersion_ = 0;
};

class DRVX_PLATFORM_API ListBox : public ItemList {
 public:
  using ItemList::ItemList;
  const char* TypeName() const override { return "ListBox"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool multi);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;
  void SelectAll();
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int height);

  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnMouseUp;

  // A click on item `index` selects it (alone) and fires OnClick, then
  // OnMouseUp.
  void UserClick(int index);
  void UserDblClick(int index);
  // Adds item `index` to the selection (multi-select), without an event.
  void UserToggle(int index);

 protected:
  void ItemsChanged() override;

 private:
  std::vector<bool> selected_;
  bool multiSelect_ = false;
  int rowHeight_ = 13;
};

class DRVX_PLATFORM_API ComboBox : public ItemList {
 public:
  using ItemList::ItemList;
  const char* TypeName() const override { return "ComboBox"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);

  std::function<void()> OnChange;
  void UserSelect(int index);           // picks a line: text and index follow, OnChange
  void UserType(std::string_view text);  // types a text: OnChange

 private:
  std::string text_;
};

class DRVX_PLATFORM_API Memo : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "Memo"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  void AddLine(std::string_view line);
  void Clear();
  // Every line followed by CR LF.
  std::string Text() const;
  // Lines split at CR LF, CR or LF (a final break adds no line).
  void SetText(std::string_view text);
  // Changes between these notify once, at EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  std::function<void()> OnDblClick;

 private:
  void LinesChanged();
  std::vector<std::string> lines_;
  int updating_ = 0;
  bool pending_ = false;
};

class DRVX_PLATFORM_API Edit : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "Edit"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);
  std::function<void()> OnChange;
  void UserType(std::string_view text);

 private:
  std::string text_;
};

class DRVX_PLATFORM_API CheckBox : public Control {
 public:
  CheckBox(Form* form, std::string name, std::string caption)
      : Control(form, std::move(name)), caption_(std::move(caption)) {}
  const char* TypeName() const override { return "CheckBox"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  std::function<void()> OnClick;
  void UserClick();  // toggles and fires OnClick when enabled

 private:
  std::string caption_;
  bool checked_ = false;
};

class DRVX_PLATFORM_API RadioGroup : public ItemList {
 public:
  RadioGroup(Form* form, std::string name, std::string caption)
      : ItemList(form, std::move(name)), caption_(std::move(caption)) {}
  const char* TypeName() const override { return "RadioGroup"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;
  const std::string& Caption() const { return caption_; }

  std::function<void()> OnClick;
  void UserSelect(int index);

 private:
  std::string caption_;
};

// A panel or label: a caption.
class DRVX_PLATFORM_API Panel : public Control {
 public:
  Panel(Form* form, std::string name, std::string caption)
      : Control(form, std::move(name)), caption_(std::move(caption)) {}
  const char* TypeName() const override { return "Panel"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view caption);
  // Whether a window shows the caption of a panel that holds controls (a
  // tool bar's caption only names it).
  bool CaptionShown() const { return captionShown_; }
  void SetCaptionShown(bool shown) { captionShown_ = shown; }

 private:
  std::string caption_;
  bool captionShown_ = true;
};

class DRVX_PLATFORM_API Button : public Control {
 public:
  Button(Form* form, std::string name, std::string caption)
      : Control(form, std::move(name)), caption_(std::move(caption)) {}
  const char* TypeName() const override { return "Button"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::string& Caption() const { return caption_; }
  int ModalResult() const { return modalResult_; }
  // A button with a modal result closes its modal form with that result.
  void SetModalResult(int result) { modalResult_ = result; }
  std::function<void()> OnClick;
  void UserClick();  // fires OnClick when enabled, then applies the modal result

 private:
  std::string caption_;
  int modalResult_ = 0;
};

// One page of a page control.
class DRVX_PLATFORM_API TabSheet : public Control {
 public:
  TabSheet(Form* form, std::string name, std::string caption)
      : Control(form, std::move(name)), caption_(std::move(caption)) {}
  const char* TypeName() const override { return "TabSheet"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  const std::string& Caption() const { return caption_; }
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);

 private:
  std::string caption_;
  bool tabVisible_ = true;
};

class DRVX_PLATFORM_API PageControl : public Control {
 public:
  using Control::Control;
  const char* TypeName() const override { return "PageControl"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  // The page control does not own its pages (the form does).
  void AddPage(TabSheet& page);
  int PageCount() const { return int(pages_.size()); }
  TabSheet& Page(int index) const { return *pages_.at(std::size_t(index)); }
  int ActivePageIndex() const { return active_; }
  TabSheet* ActivePage() const;
  // From program code: no OnChange.
  void SetActivePage(const TabSheet& page);

  // Fired only when the user picks a page.
  std::function<void()> OnChange;
  // The user picks a page by its tab; a hidden tab cannot be picked.
  void UserSelectPage(int index);

 private:
  std::vector<TabSheet*> pages_;
  int active_ = -1;
};

// A timer of a form: fires OnTimer every Interval while enabled, on the
// user-interface thread.
class DRVX_PLATFORM_API Timer : public Control {
 public:
  Timer(Form* form, std::string name, int intervalMs);
  ~Timer() override;
  const char* TypeName() const override { return "Timer"; }
  void Accept(ControlVisitor& visitor) override { visitor.Visit(*this); }
  std::string Describe() const override;

  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Active() const { return timerId_ != 0; }
  // Enabling a running timer does not restart it.
  void SetActive(bool active);
  std::function<void()> OnTimer;

 private:
  int interval_;
  int timerId_ = 0;
};

}  // namespace drvx::platform

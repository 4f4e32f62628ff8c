#include "drvx/platform/controls.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "drvx/platform/forms.h"
#include "drvx/platform/ui_loop.h"

namespace drvx::platform {
namespace {

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string JoinQuoted(const std::vector<std::string>& items) {
  std::string text = "[";
  for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + Quoted(items[i]);
  return text + "]";
}

}  // namespace

// ---- Control

Control::Control(Form* form, std::string name) : form_(form), name_(std::move(name)) {
  if (form_) form_->Register(*this);
}

Control::~Control() {
  if (form_) form_->Unregister(*this);
}

std::string Control::Describe() const {
  std::string text = std::string(TypeName()) + " " + name_;
  if (!enabled_) text += " (disabled)";
  if (!visible_) text += " (hidden)";
  if (!hint_.empty()) text += " hint " + Quoted(hint_) + (showHint_ ? "" : " (not shown)");
  return text;
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed();
}

void Control::SetHint(std::string_view hint) {
  if (hint_ == hint) return;
  hint_ = hint;
  Changed();
}

void Control::SetShowHint(bool show) {
  if (showHint_ == show) return;
  showHint_ = show;
  Changed();
}

void Control::PlaceIn(Control* container, Placement placement, std::string label) {
  container_ = container;
  placement_ = placement;
  label_ = std::move(label);
  placeOrder_ = form_ ? form_->NextPlaceOrder() : 1;
}

int Control::Subscribe(Observer observer) {
  observers_[nextObserver_] = std::move(observer);
  return nextObserver_++;
}

void Control::Unsubscribe(int id) { observers_.erase(id); }

void Control::Changed() {
  CheckUiThread(name_);
  auto observers = observers_;  // an observer may unsubscribe
  for (auto& [id, observer] : observers) observer(*this);
}

void Control::UserMouseMove(int x, int y) {
  if (OnMouseMove) OnMouseMove(x, y);
}

void Control::UserKeyDown(std::uint16_t key) {
  if (!enabled_) return;
  if (OnKeyDown) OnKeyDown(key);
  if (key == kEnterKey && form_ && form_->DefaultButton()) form_->DefaultButton()->UserClick();
}

// ---- ItemList

void ItemList::ItemsReplaced() {
  ++itemsVersion_;
  ItemsChanged();
  Changed();
}

int ItemList::Add(std::string_view item) {
  auto at = items_.end();
  if (sorted_)
    at = std::upper_bound(items_.begin(), items_.end(), item,
                          [](std::string_view a, const std::string& b) { return SortsBefore(a, b); });
  const int index = int(at - items_.begin());
  items_.insert(at, std::string(item));
  if (itemIndex_ >= index) ++itemIndex_;
  ItemsReplaced();
  return index;
}

void ItemList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw std::out_of_range(Name() + ": no item " + std::to_string(index));
  items_.erase(items_.begin() + index);
  if (itemIndex_ == index) itemIndex_ = -1;
  else if (itemIndex_ > index) --itemIndex_;
  ItemsReplaced();
}

void ItemList::AddItems(std::vector<std::string> items) {
  if (items.empty()) return;
  if (!sorted_) {
    items_.insert(items_.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
  } else {
    // Each new item after the equal ones already there, as Add puts it.
    std::stable_sort(items.begin(), items.end(), SortsBefore);
    if (itemIndex_ >= 0) {
      const std::string& focused = items_[std::size_t(itemIndex_)];
      itemIndex_ += int(std::lower_bound(items.begin(), items.end(), focused, SortsBefore) - items.begin());
    }
    std::vector<std::string> merged;
    merged.reserve(items_.size() + items.size());
    std::merge(std::make_move_iterator(items_.begin()), std::make_move_iterator(items_.end()),
               std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()),
               std::back_inserter(merged), SortsBefore);
    items_ = std::move(merged);
  }
  ItemsReplaced();
}

void ItemList::DeleteItems(std::vector<int> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  if (indexes.empty()) return;
  if (indexes.front() < 0 || indexes.back() >= Count())
    throw std::out_of_range(Name() + ": no item " +
                            std::to_string(indexes.front() < 0 ? indexes.front() : indexes.back()));
  if (std::binary_search(indexes.begin(), indexes.end(), itemIndex_)) itemIndex_ = -1;
  else if (itemIndex_ >= 0)
    itemIndex_ -= int(std::lower_bound(indexes.begin(), indexes.end(), itemIndex_) - indexes.begin());
  std::size_t kept = 0;
  for (std::size_t i = 0, next = 0; i < items_.size(); ++i) {
    if (next < indexes.size() && std::size_t(indexes[next]) == i) {
      ++next;
      continue;
    }
    if (kept != i) items_[kept] = std::move(items_[i]);
    ++kept;
  }
  items_.resize(kept);
  ItemsReplaced();
}

void ItemList::Clear() {
  items_.clear();
  itemIndex_ = -1;
  ItemsReplaced();
}

void ItemList::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (sorted_) std::stable_sort(items_.begin(), items_.end(), SortsBefore);
  itemIndex_ = -1;
  ItemsReplaced();
}

int ItemList::IndexOfIgnoringCase(std::string_view text) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (SameTextIgnoringCase(items_[i], text)) return int(i);
  return -1;
}

void ItemList::SetSorted(bool sorted) {
  if (sorted_ == sorted) return;
  sorted_ = sorted;
  if (sorted_) SetItems(std::move(items_));
  else Changed();
}

void ItemList::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (itemIndex_ == index) return;
  itemIndex_ = index;
  Changed();
}

// ---- ListBox

void ListBox::ItemsChanged() { selected_.assign(items_.size(), false); }

std::string ListBox::Describe() const {
  std::string text = Control::Describe() + " items " + JoinQuoted(items_) + " index " +
                     std::to_string(itemIndex_);
  if (multiSelect_) {
    text += " selected [";
    bool first = true;
    for (int i = 0; i < Count(); ++i)
      if (Selected(i)) text += (first ? "" : ", ") + std::to_string(i), first = false;
    text += "]";
  }
  return text;
}

void ListBox::SetMultiSelect(bool multi) {
  multiSelect_ = multi;
  Changed();
}

bool ListBox::Selected(int index) const {
  if (index < 0 || index >= Count()) return false;
  return multiSelect_ ? bool(selected_[std::size_t(index)]) : index == itemIndex_;
}

void ListBox::SetSelected(int index, bool selected) {
  if (index < 0 || index >= Count()) return;
  if (!multiSelect_) {
    SetItemIndex(selected ? index : -1);
    return;
  }
  selected_[std::size_t(index)] = selected;
  Changed();
}

int ListBox::SelCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += Selected(i);
  return n;
}

void ListBox::SelectAll() {
  for (int i = 0; i < Count(); ++i) SetSelected(i, true);
}

void ListBox::SetRowHeight(int height) {
  rowHeight_ = std::max(1, height);
  Changed();
}

void ListBox::UserClick(int index) {
  if (!Enabled()) return;
  if (multiSelect_) std::fill(selected_.begin(), selected_.end(), false);
  SetItemIndex(index);
  if (multiSelect_ && itemIndex_ >= 0) SetSelected(itemIndex_, true);
  if (OnClick) OnClick();
  if (OnMouseUp) OnMouseUp();
}

void ListBox::UserDblClick(int index) {
  UserClick(index);
  if (Enabled() && OnDblClick) OnDblClick();
}

void ListBox::UserToggle(int index) {
  if (Enabled()) SetSelected(index, !Selected(index));
}

// ---- ComboBox

std::string ComboBox::Describe() const {
  return Control::Describe() + " text " + Quoted(text_) + " items " + JoinQuoted(items_);
}

void ComboBox::SetText(std::string_view text) {
  if (text_ == text) return;
  text_ = text;
  Changed();
}

void ComboBox::UserSelect(int index) {
  if (!Enabled() || index < 0 || index >= Count()) return;
  SetItemIndex(index);
  SetText(items_[std::size_t(index)]);
  if (OnChange) OnChange();
}

void ComboBox::UserType(std::string_view text) {
  if (!Enabled()) return;
  SetText(text);
  SetItemIndex(-1);
  if (OnChange) OnChange();
}

// ---- Memo

std::string Memo::Describe() const { return Control::Describe() + " lines " + JoinQuoted(lines_); }

void Memo::LinesChanged() {
  if (updating_ > 0)
    pending_ = true;
  else
    Changed();
}

void Memo::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  LinesChanged();
}

void Memo::AddLine(std::string_view line) {
  lines_.emplace_back(line);
  LinesChanged();
}

void Memo::Clear() {
  lines_.clear();
  LinesChanged();
}

std::string Memo::Text() const { return JoinLines(lines_); }

void Memo::SetText(std::string_view text) { SetLines(SplitLines(text)); }

void Memo::BeginUpdate() { ++updating_; }

void Memo::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && pending_) {
    pending_ = false;
    Changed();
  }
}

// ---- Edit, CheckBox, RadioGroup, Panel, Button

std::string Edit::Describe() const { return Control::Describe() + " text " + Quoted(text_); }

void Edit::SetText(std::string_view text) {
  if (text_ == text) return;
  text_ = text;
  Changed();
}

void Edit::UserType(std::string_view text) {
  if (!Enabled()) return;
  SetText(text);
  if (OnChange) OnChange();
}

std::string CheckBox::Describe() const {
  return Control::Describe() + " " + Quoted(caption_) + (checked_ ? " checked" : " unchecked");
}

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void CheckBox::UserClick() {
  if (!Enabled()) return;
  SetChecked(!checked_);
  if (OnClick) OnClick();
}

std::string RadioGroup::Describe() const {
  return Control::Describe() + " " + Quoted(caption_) + " items " + JoinQuoted(items_) +
         " index " + std::to_string(itemIndex_);
}

void RadioGroup::UserSelect(int index) {
  if (!Enabled() || index < 0 || index >= Count()) return;
  SetItemIndex(index);
  if (OnClick) OnClick();
}

std::string Panel::Describe() const { return Control::Describe() + " " + Quoted(caption_); }

void Panel::SetCaption(std::string_view caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

std::string Button::Describe() const { return Control::Describe() + " " + Quoted(caption_); }

void Button::UserClick() {
  if (!Enabled()) return;
  if (OnClick) OnClick();
  if (modalResult_ != 0 && OwnerForm()) OwnerForm()->SetModalResult(modalResult_);
}

// ---- TabSheet, PageControl

std::string TabSheet::Describe() const {
  return Control::Describe() + " " + Quoted(caption_) + (tabVisible_ ? "" : " (tab hidden)");
}

void TabSheet::SetTabVisible(bool visible) {
  if (tabVisible_ == visible) return;
  tabVisible_ = visible;
  Changed();
}

std::string PageControl::Describe() const {
  std::string text = Control::Describe() + " pages [";
  for (std::size_t i = 0; i < pages_.size(); ++i)
    text += (i ? ", " : "") + pages_[i]->Name() + (pages_[i]->TabVisible() ? "" : " (hidden)");
  return text + "] active " + (ActivePage() ? ActivePage()->Name() : std::string("none"));
}

void PageControl::AddPage(TabSheet& page) {
  pages_.push_back(&page);
  if (active_ < 0) active_ = 0;
  Changed();
}

TabSheet* PageControl::ActivePage() const {
  return active_ >= 0 ? pages_[std::size_t(active_)] : nullptr;
}

void PageControl::SetActivePage(const TabSheet& page) {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i] == &page && active_ != int(i)) {
      active_ = int(i);
      Changed();
    }
  }
}

void PageControl::UserSelectPage(int index) {
  if (!Enabled() || index < 0 || index >= PageCount() || !Page(index).TabVisible()) return;
  if (active_ == index) return;
  active_ = index;
  Changed();
  if (OnChange) OnChange();
}

// ---- Timer

Timer::Timer(Form* form, std::string name, int intervalMs)
    : Control(form, std::move(name)), interval_(intervalMs) {}

Timer::~Timer() { SetActive(false); }

std::string Timer::Describe() const {
  return Control::Describe() + " interval " + std::to_string(interval_) +
         (Active() ? " running" : " stopped");
}

void Timer::SetInterval(int ms) {
  interval_ = ms;
  if (Active()) {
    SetActive(false);
    SetActive(true);
  }
  Changed();
}

void Timer::SetActive(bool active) {
  if (active == Active()) return;
  auto& loop = UiLoop::Instance();
  if (active) {
    timerId_ = loop.StartTimer(UiLoop::Duration(interval_), [this] {
      if (OnTimer) OnTimer();
    });
  } else {
    loop.StopTimer(timerId_);
    timerId_ = 0;
  }
  Changed();
}

}  // namespace drvx::platform

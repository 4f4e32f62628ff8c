#include "form_view.h"

#include <algorithm>

#include <QButtonGroup>
#include <QGuiApplication>
#include <QScreen>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractListModel>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt_text.h"

namespace drvx::platform::qt {
namespace {

// The controls of a container in the order they were placed.
std::vector<Control*> ChildrenOf(const Form& form, const Control* container) {
  std::vector<Control*> children;
  for (Control* control : form.Controls())
    if (control->Container() == container) children.push_back(control);
  std::stable_sort(children.begin(), children.end(), [](const Control* a, const Control* b) {
    return a->PlaceOrder() < b->PlaceOrder();
  });
  return children;
}

// Hints are tool tips that stay up for the windows' hint display time.
void ApplyCommon(const Control& control, QWidget& widget) {
  widget.setEnabled(control.Enabled());
  widget.setVisible(control.Visible());
  widget.setToolTip(control.ShowHint() ? ToQ(control.Hint()) : QString());
  widget.setToolTipDuration(HintHidePause() > 0 ? HintHidePause() : -1);
}

// A list's items as a model for a list view, read from the list itself.
class ItemsModel final : public QAbstractListModel {
 public:
  ItemsModel(const ItemList& list, QObject* parent) : QAbstractListModel(parent), list_(list) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : shown_;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || index.row() >= shown_) return {};
    return ToQ(list_.Items()[std::size_t(index.row())]);
  }
  // Shows the list's items anew when they changed since last shown.
  void Follow() {
    if (version_ == list_.ItemsVersion()) return;
    beginResetModel();
    version_ = list_.ItemsVersion();
    shown_ = list_.Count();
    endResetModel();
  }

 private:
  const ItemList& list_;
  std::uint64_t version_ = ~std::uint64_t(0);
  int shown_ = 0;
};

}  // namespace

FormView::FormView(Form& form, QWidget* owner)
    : QWidget(owner, owner ? Qt::Window : Qt::WindowFlags()), form_(form) {
  setObjectName(ToQ(form.Name()));
  setWindowTitle(ToQ(form.Caption()));
  setAttribute(Qt::WA_DeleteOnClose, false);
  Fill(*this, nullptr);
  // Windows with pages or lists get room for them, never more than the
  // screen has; each opens centred on its owner, and wholly on the screen.
  const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  QSize size = sizeHint();
  if (findChild<QTabWidget*>() || findChild<QListView*>()) size = size.expandedTo(QSize(760, 560));
  size = size.boundedTo(room.size() * 0.9);
  resize(size);
  QRect placed(QPoint(), size);
  placed.moveCenter(owner && owner->isVisible() ? owner->frameGeometry().center() : room.center());
  placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() - placed.width()));
  placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() - placed.height()));
  move(placed.topLeft());
}

FormView::~FormView() {
  if (!formAlive_) return;
  for (auto [control, id] : subscriptions_) control->Unsubscribe(id);
}

void FormView::FormGone() {
  formAlive_ = false;
  subscriptions_.clear();
}

void FormView::closeEvent(QCloseEvent* event) {
  // The window's close box closes the form, which hides this view.
  event->ignore();
  if (formAlive_ && form_.Visible()) form_.Close();
}

template <class Widget>
void FormView::Follow(Control& control, Widget* widget, std::function<void(Widget&)> update) {
  auto show = [this, widget, update](Control& changed) {
    updating_ = true;
    ApplyCommon(changed, *widget);
    if (update) update(*widget);
    updating_ = false;
  };
  show(control);
  subscriptions_.emplace_back(&control, control.Subscribe(show));
}

// The controls of a container in rows: Inline beside the one before, NewRow
// and Fill start a row (a Fill row, and the lists and memos in it, take the
// room to spare); menu entries go to the window's menu bar under their
// panel's caption.
void FormView::Fill(QWidget& area, Control* container) {
  auto* rows = new QVBoxLayout(&area);
  QHBoxLayout* row = nullptr;
  bool filling = false;
  bool filledAny = false;
  for (Control* control : ChildrenOf(form_, container)) {
    if (control->GetPlacement() == Placement::MenuItem) continue;
    const std::vector<Control*> inner = ChildrenOf(form_, control);
    if (!inner.empty() && inner.front()->GetPlacement() == Placement::MenuItem) {
      if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        rows->setMenuBar(menuBar_);
      }
      auto* panel = static_cast<Panel*>(control);
      QMenu* menu = menuBar_->addMenu(ToQ(panel->Caption()));
      for (Control* entry : inner) {
        auto* button = dynamic_cast<Button*>(entry);
        if (!button) continue;
        QAction* action = menu->addAction(ToQ(button->Caption()));
        action->setObjectName(ToQ(button->Name()));
        connect(action, &QAction::triggered, [this, button] {
          if (formAlive_) button->UserClick();
        });
        subscriptions_.emplace_back(button, button->Subscribe([action](Control& c) {
          action->setEnabled(c.Enabled());
          action->setVisible(c.Visible());
        }));
      }
      continue;
    }
    QWidget* widget = Build(*control);
    if (!widget) continue;
    const Placement placement = control->GetPlacement();
    if (!row || placement != Placement::Inline) {
      if (row && !filling) row->addStretch(1);  // small controls keep their size
      row = new QHBoxLayout;
      rows->addLayout(row, placement == Placement::Fill ? 1 : 0);
      filling = placement == Placement::Fill;
      filledAny = filledAny || filling;
    }
    if (!control->Label().empty()) {
      auto* label = new QLabel(ToQ(control->Label()));
      label->setMinimumWidth(170);  // labelled rows line up
      row->addWidget(label);
    }
    const bool wide = qobject_cast<QListView*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
                      qobject_cast<QTabWidget*>(widget) || qobject_cast<QComboBox*>(widget);
    row->addWidget(widget, filling && wide ? 1 : 0);
  }
  if (row && !filling) row->addStretch(1);
  if (!filledAny) rows->addStretch(1);
}

// The widget of each kind of control, bound to it: the widget shows the
// control's state as it changes and hands the user's actions to it.
class FormView::WidgetBuilder final : public ControlVisitor {
 public:
  explicit WidgetBuilder(FormView& view) : view_(&view) {}

  // The widget made for the control visited; none for timers and sheets
  // (a page control makes its sheets' widgets).
  QWidget* built = nullptr;

  void Visit(Button& button) override {
    FormView* view = view_;
    auto* widget = new QPushButton(ToQ(button.Caption()));
    connect(widget, &QPushButton::clicked, [view, &button] {
      if (view->formAlive_) button.UserClick();
    });
    if (view->form_.DefaultButton() == &button) widget->setDefault(true);
    view->Follow<QPushButton>(button, widget, nullptr);
    built = widget;
  }

  void Visit(PageControl& page) override {
    FormView* view = view_;
    auto* widget = new QTabWidget;
    for (int i = 0; i < page.PageCount(); ++i) {
      TabSheet& sheet = page.Page(i);
      auto* area = new QWidget;
      area->setObjectName(ToQ(sheet.Name()));
      view->Fill(*area, &sheet);
      widget->addTab(area, ToQ(sheet.Caption()));
      view->subscriptions_.emplace_back(&sheet, sheet.Subscribe([widget, i](Control& c) {
        widget->setTabVisible(i, static_cast<TabSheet&>(c).TabVisible());
      }));
      widget->setTabVisible(i, sheet.TabVisible());
    }
    connect(widget, &QTabWidget::currentChanged, [view, &page, widget](int index) {
      if (!view->formAlive_ || view->updating_ || index == page.ActivePageIndex()) return;
      page.UserSelectPage(index);
      if (page.ActivePageIndex() != index) {  // a page the user may not pick
        view->updating_ = true;
        widget->setCurrentIndex(page.ActivePageIndex());
        view->updating_ = false;
      }
    });
    view->Follow<QTabWidget>(page, widget, [&page](QTabWidget& w) {
      if (page.ActivePageIndex() >= 0) w.setCurrentIndex(page.ActivePageIndex());
    });
    built = widget;
  }

  // A list view over the list's own items: showing a list of any length
  // costs what its visible rows cost, and only a change of the items (not of
  // the selection) resets the view.
  void Visit(ListBox& list) override {
    FormView* view = view_;
    auto* widget = new QListView;
    auto* items = new ItemsModel(list, widget);
    widget->setModel(items);
    widget->setUniformItemSizes(true);
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->setSelectionMode(list.MultiSelect() ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
    connect(widget, &QListView::clicked, [view, &list, widget](const QModelIndex& index) {
      if (!view->formAlive_ || view->updating_) return;
      const int row = index.row();
      const bool selected = widget->selectionModel()->isSelected(index);
      if (list.MultiSelect() && list.Selected(row) != selected) list.UserToggle(row);
      else list.UserClick(row);
    });
    connect(widget, &QListView::doubleClicked, [view, &list](const QModelIndex& index) {
      if (view->formAlive_ && !view->updating_) list.UserDblClick(index.row());
    });
    view->Follow<QListView>(list, widget, [&list, items](QListView& w) {
      items->Follow();
      QItemSelection selection;
      for (int i = 0; i < list.Count(); ++i)
        if (list.Selected(i)) selection.select(items->index(i), items->index(i));
      w.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
      if (list.ItemIndex() >= 0)
        w.selectionModel()->setCurrentIndex(items->index(list.ItemIndex()), QItemSelectionModel::NoUpdate);
    });
    built = widget;
  }

  void Visit(ComboBox& combo) override {
    FormView* view = view_;
    // Over the list's own items, as a list box: typing never refills it.
    auto* widget = new QComboBox;
    widget->setEditable(true);
    connect(widget, &QComboBox::activated, [view, &combo](int index) {
      if (view->formAlive_ && !view->updating_) combo.UserSelect(index);
    });
    connect(widget->lineEdit(), &QLineEdit::textEdited, [view, &combo](const QString& text) {
      if (view->formAlive_ && !view->updating_) combo.UserType(text.toStdString());
    });
    auto* items = new ItemsModel(combo, widget);
    widget->setModel(items);
    view->Follow<QComboBox>(combo, widget, [&combo, items](QComboBox& w) {
      items->Follow();
      if (w.currentIndex() != combo.ItemIndex()) w.setCurrentIndex(combo.ItemIndex());
      if (w.currentText() != ToQ(combo.Text())) w.setEditText(ToQ(combo.Text()));
    });
    built = widget;
  }

  void Visit(Memo& memo) override {
    FormView* view = view_;
    auto* widget = new QPlainTextEdit;
    connect(widget, &QPlainTextEdit::textChanged, [view, &memo, widget] {
      if (view->formAlive_ && !view->updating_) memo.SetText(widget->toPlainText().toStdString());
    });
    view->Follow<QPlainTextEdit>(memo, widget, [&memo](QPlainTextEdit& w) {
      QString text;
      for (const auto& line : memo.Lines()) text += ToQ(line) + '\n';
      if (!text.isEmpty()) text.chop(1);
      if (w.toPlainText() != text) w.setPlainText(text);
    });
    built = widget;
  }

  void Visit(Edit& edit) override {
    FormView* view = view_;
    auto* widget = new QLineEdit;
    connect(widget, &QLineEdit::textEdited, [view, &edit](const QString& text) {
      if (view->formAlive_ && !view->updating_) edit.UserType(text.toStdString());
    });
    view->Follow<QLineEdit>(edit, widget, [&edit](QLineEdit& w) {
      if (w.text() != ToQ(edit.Text())) w.setText(ToQ(edit.Text()));
    });
    built = widget;
  }

  void Visit(CheckBox& check) override {
    FormView* view = view_;
    auto* widget = new QCheckBox(ToQ(check.Caption()));
    connect(widget, &QCheckBox::clicked, [view, &check] {
      if (view->formAlive_ && !view->updating_) check.UserClick();
    });
    view->Follow<QCheckBox>(check, widget, [&check](QCheckBox& w) { w.setChecked(check.Checked()); });
    built = widget;
  }

  void Visit(RadioGroup& radio) override {
    FormView* view = view_;
    auto* widget = new QGroupBox(ToQ(radio.Caption()));
    auto* buttons = new QVBoxLayout(widget);
    auto* group = new QButtonGroup(widget);
    for (int i = 0; i < radio.Count(); ++i) {
      auto* option = new QRadioButton(ToQ(radio.Items()[std::size_t(i)]));
      group->addButton(option, i);
      buttons->addWidget(option);
    }
    connect(group, &QButtonGroup::idClicked, [view, &radio](int index) {
      if (view->formAlive_ && !view->updating_) radio.UserSelect(index);
    });
    view->Follow<QGroupBox>(radio, widget, [&radio, group](QGroupBox&) {
      if (QAbstractButton* b = group->button(radio.ItemIndex())) b->setChecked(true);
    });
    built = widget;
  }

  // A panel with controls in it is a box around them; one without, a label.
  void Visit(Panel& panel) override {
    FormView* view = view_;
    if (ChildrenOf(view->form_, &panel).empty()) {
      auto* widget = new QLabel(ToQ(panel.Caption()));
      view->Follow<QLabel>(panel, widget, [&panel](QLabel& w) { w.setText(ToQ(panel.Caption())); });
      built = widget;
    } else {
      auto* widget = new QGroupBox(panel.CaptionShown() ? ToQ(panel.Caption()) : QString());
      widget->setFlat(!panel.CaptionShown());
      view->Fill(*widget, &panel);
      view->Follow<QGroupBox>(panel, widget, nullptr);
      built = widget;
    }
  }

  void Visit(TabSheet&) override {}
  void Visit(Timer&) override {}

 private:
  FormView* view_;
};

QWidget* FormView::Build(Control& control) {
  WidgetBuilder builder(*this);
  control.Accept(builder);
  if (builder.built) builder.built->setObjectName(ToQ(control.Name()));
  return builder.built;
}

FormWindows::FormWindows()
    : subscription_(SubscribeForms([this](Form& form, FormEvent event) { Changed(form, event); })) {
  for (Form* form : AllForms())
    if (form->Visible()) Changed(*form, FormEvent::Shown);
}

FormWindows::~FormWindows() { UnsubscribeForms(subscription_); }

void FormWindows::RunModal(Form& form) {
  FormView* view = ViewOf(form);
  if (!view || !form.Visible()) return;
  view->setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  const int watch = SubscribeForms([&loop, &form](Form& changed, FormEvent event) {
    if (&changed == &form && event != FormEvent::Shown) loop.quit();
  });
  loop.exec();
  UnsubscribeForms(watch);
  // The form (and its view) may have gone while the loop ran.
  if (FormView* still = ViewOf(form)) still->setWindowModality(Qt::NonModal);
}

FormView* FormWindows::ViewOf(const Form& form) const {
  const auto it = views_.find(&form);
  return it == views_.end() ? nullptr : it->second.get();
}

void FormWindows::Changed(Form& form, FormEvent event) {
  switch (event) {
    case FormEvent::Shown: {
      auto& view = views_[&form];
      // The plug-ins' application window owns their windows.
      if (!view)
        view = std::make_unique<FormView>(
            form, ApplicationWindow() ? QWidget::find(WId(ApplicationWindow())) : nullptr);
      view->show();
      view->raise();
      break;
    }
    case FormEvent::Hidden:
      if (FormView* view = ViewOf(form)) view->hide();
      break;
    case FormEvent::Destroyed:
      if (auto it = views_.find(&form); it != views_.end()) {
        it->second->FormGone();
        views_.erase(it);
      }
      break;
  }
}

}  // namespace drvx::platform::qt

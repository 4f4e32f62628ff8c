// The pieces every page of the main window is made of: the window's workers,
// the rows that wire a page's events to its handlers, and the base of a page.
//
// A page owns its controls (registered with the main window under their
// component names), their handlers and their wiring rows; the window wires
// every page's rows, runs each handler under its guard, and lays the pages
// out in order. User-interface thread only.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "diagram_explorer.h"
#include "drvx/platform/forms.h"
#include "expert_functions.h"
#include "group_manager.h"

namespace drvx::ui {

// The main window's workers, made on its first activation. Before that, each
// accessor fails with an error saying the window was never shown.
struct Workers {
  diagrams::TMMDiagramExplorer& Explorer() const;
  groups::TDiagramGroupManager& GroupManager() const;
  codegen::TExpertFunctions& Functions() const;

  std::unique_ptr<diagrams::TMMDiagramExplorer> explorer;
  std::unique_ptr<groups::TDiagramGroupManager> groupManager;
  std::unique_ptr<codegen::TExpertFunctions> functions;
};

// What a handler's errors become: shown in a message box with their text
// (the general error display), or reported as "Exception in
// TFrmMain.<handler>:<message>".
enum class Guard { MessageBox, Report };

// One event of a control and the handler that answers it.
struct EventRow {
  std::function<void()>& event;
  const char* handler;
  std::function<void()> body;
  Guard guard = Guard::MessageBox;
};

struct MouseMoveRow {
  std::function<void(int x, int y)>& event;
  const char* handler;
  std::function<void(int x, int y)> body;
};

// Rows for a page's method named as the event: control##Click answers
// control.OnClick, control##MouseMove its OnMouseMove.
#define DRVX_ON(event, method) {event, #method, [this] { method(); }}
#define DRVX_CLICK(control) DRVX_ON(control.OnClick, control##Click)
#define DRVX_GUARDED_CLICK(control) \
  {control.OnClick, #control "Click", [this] { control##Click(); }, Guard::Report}
#define DRVX_MOUSE_MOVE(control) \
  {control.OnMouseMove, #control "MouseMove", [this](int x, int y) { control##MouseMove(x, y); }}

// What a page is given: the window that owns its controls, its sheet in the
// window's page control, and the window's workers.
struct PageSite {
  platform::Form& form;
  platform::TabSheet& sheet;
  const Workers& workers;
};

class Page {
 public:
  explicit Page(const PageSite& site) : form_(&site.form), sheet_(site.sheet), workers_(site.workers) {}
  virtual ~Page() = default;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  virtual std::vector<EventRow> Events() = 0;
  virtual std::vector<MouseMoveRow> MouseMoves() { return {}; }
  // Places the page's controls on its sheet, in rows.
  virtual void Place() = 0;

 protected:
  // One row of the sheet: the placement of its first control (NewRow, or
  // Fill for a row that takes the room to spare), then its controls inline.
  void PlaceRow(platform::Placement start, std::initializer_list<platform::Control*> controls);

  platform::Form* const form_;  // first: the controls of a page register with it
  platform::TabSheet& sheet_;
  const Workers& workers_;
};

}  // namespace drvx::ui

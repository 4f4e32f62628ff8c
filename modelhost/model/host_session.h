// The substitute host's side of the boundary: the root services a plug-in
// receives, and the open project they show. The services, navigator, code
// model, diagram manager and project manager objects are views of whatever
// project is open at the time of the call.
//
// The session must outlive every plug-in it serves (the loader unloads them
// first).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mmapi/expert.h"
#include "project.h"

namespace drvx::modelhost {

struct ExpertRegistration {
  ComPtr<mmapi::IMMExpert> expert;
  int plugin;    // index of the library that registered it
  int sequence;  // order of registration across experts and notifiers
};

struct NotifierRegistration {
  ComPtr<mmapi::IMMProjectNotifier> notifier;
  int plugin;
  int sequence;
};

// What the host asks of the call stacks that traced programs send: the
// plug-in leaves out the calls whose class the patterns reject, then all
// but the innermost `depthLimit` (0: no limit), before it draws a stack.
struct CallStackOptions {
  int depthLimit = 0;
  std::vector<std::string> include;  // class-name patterns, '*' and '?'
  std::vector<std::string> exclude;
};

class HostSession {
 public:
  HostSession();
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  mmapi::IMMToolServices* Services() const { return services_.Get(); }

  ModelProject& Project() { return *project_; }
  // Replaces the open project; references into the old one fail from now on.
  void ReplaceProject(std::unique_ptr<ModelProject> project);
  // What printing a diagram does, for the open project and every one opened
  // later that has no printing of its own.
  void SetDiagramPrinter(std::function<void(const ModelDiagram&)> print);
  // Called at the first change the plug-ins make to the open project (or to
  // any opened later) after its changes were last taken
  // (Project().changes.Take()).
  void SetChangeListener(std::function<void()> listener);

  // Registrations made from now on belong to this library.
  void SetRegistrant(int plugin) { registrant_ = plugin; }
  // Takes (and clears) what the plug-in said with ReportEntryFailure.
  std::string TakeEntryFailure();
  // Releases what the library registered, latest first.
  void ReleaseRegistrations(int plugin);

  // The host's application window as HostWindowHandle answers it: the
  // window that owns the plug-ins' windows (0, the default, for none).
  void SetWindowHandle(std::uint64_t handle) { windowHandle_ = handle; }

  // Read by the plug-in through IMMCallStackOptions whenever a stack arrives.
  CallStackOptions& CallStacks() { return callStacks_; }

  // Whether the code model and the diagram manager answer the searches over
  // the whole model (IMMCodeSearch, IMMDiagramSearch); a host without them
  // answers element by element, as the plug-in then asks.
  void OfferSearches(bool offer) { offerSearches_ = offer; }
  bool OffersSearches() const { return offerSearches_; }

  const std::vector<ExpertRegistration>& Experts() const { return experts_; }
  const std::vector<NotifierRegistration>& Notifiers() const { return notifiers_; }

 private:
  friend class ToolServicesObject;

  std::unique_ptr<ModelProject> project_;
  ComPtr<mmapi::IMMToolServices> services_;
  std::vector<ExpertRegistration> experts_;
  std::vector<NotifierRegistration> notifiers_;
  int registrant_ = -1;
  int sequence_ = 0;
  std::string entryFailure_;
  std::function<void(const ModelDiagram&)> printDiagram_;
  std::function<void()> changeListener_;
  CallStackOptions callStacks_;
  bool offerSearches_ = true;
  std::uint64_t windowHandle_ = 0;
};

}  // namespace drvx::modelhost

#include "host_session.h"

#include <algorithm>
#include <utility>

#include "mmapi/cxx/utf.h"

namespace drvx::modelhost {
namespace {

using mmapi::cxx::ComObject;
using mmapi::cxx::MakeCom;

class NavigatorObject final : public ComObject<mmapi::IMMNavigator> {
 public:
  explicit NavigatorObject(HostSession& session) : session_(session) {}

  MMStatus MMCALL CurrentClass(mmapi::IMMClass** out) noexcept override {
    return AnswerRef("CurrentClass", out, [&]() -> mmapi::IMMClass* {
      return State().currentClass.Get();
    });
  }
  MMStatus MMCALL CurrentMember(mmapi::IMMMember** out) noexcept override {
    return AnswerRef("CurrentMember", out, [&]() -> mmapi::IMMMember* {
      return static_cast<mmapi::IMMMethod*>(State().currentMember.Get());
    });
  }
  MMStatus MMCALL CurrentMethod(mmapi::IMMMethod** out) noexcept override {
    return AnswerRef("CurrentMethod", out, [&]() -> mmapi::IMMMethod* {
      return State().currentMethod.Get();
    });
  }
  MMStatus MMCALL CurrentDiagram(mmapi::IMMDiagram** out) noexcept override {
    return AnswerRef("CurrentDiagram", out, [&]() -> mmapi::IMMDiagram* {
      return State().currentDiagram.Get();
    });
  }
  MMStatus MMCALL CurrentModule(mmapi::IMMModule** out) noexcept override {
    return AnswerRef("CurrentModule", out, [&]() -> mmapi::IMMModule* {
      return State().currentModule.Get();
    });
  }
  MMStatus MMCALL NavigateToClass(mmapi::IMMClass* cls) noexcept override {
    return Do("NavigateToClass", [&] {
      auto& found = Resolve<ModelClass>(cls, ElementKind::Class, "NavigateToClass");
      SelectClass(State(), found);
      session_.Project().changes.Navigator();
    });
  }
  MMStatus MMCALL ShowMember(mmapi::IMMMember* member) noexcept override {
    return Do("ShowMember", [&] {
      auto& found = Resolve<ModelMember>(member, ElementKind::Member, "ShowMember");
      SelectMember(State(), found);
      session_.Project().changes.Navigator();
    });
  }
  MMStatus MMCALL ShowDiagram(mmapi::IMMDiagram* diagram) noexcept override {
    return Do("ShowDiagram", [&] {
      auto& found = Resolve<ModelDiagram>(diagram, ElementKind::Diagram, "ShowDiagram");
      State().currentDiagram = ComPtr<ModelDiagram>::Share(&found);
      session_.Project().changes.Navigator();
    });
  }
  MMStatus MMCALL ShowView(std::int32_t viewCode, mmapi::MMBool) noexcept override {
    return Do("ShowView", [&] {
      State().view = viewCode;
      session_.Project().changes.Navigator();
    });
  }

 private:
  NavigatorState& State() { return session_.Project().navigator; }

  // The open project's element behind a pointer a caller handed in.
  template <class T, class I>
  T& Resolve(I* p, ElementKind kind, const char* what) {
    if (!p) Fail(mmapi::MM_E_POINTER, std::string(what) + ": the element is null");
    std::int32_t id = 0;
    if (mmapi::MMFailed(p->Id(&id)))
      Fail(mmapi::MM_E_INVALIDARG, std::string(what) + ": the element has no identifier");
    ModelElement* element = session_.Project().Find(id);
    if (!element || element->Kind() != kind)
      Fail(mmapi::MM_E_NOTFOUND,
           std::string(what) + ": element " + std::to_string(id) + " is not in the open project");
    return static_cast<T&>(*element);
  }

  HostSession& session_;
};

// One pass over the whole arena finds where the text stands; then each
// method in model order takes the first of its sections that holds one of
// those places whole. Without a place, no method is visited.
std::vector<std::int32_t> FindInMethods(const ModelProject& project, std::u16string_view text) {
  std::vector<std::int32_t> hits;
  const std::vector<CodeArena::Place> places = project.Code().FindAll(text);
  if (places.empty()) return hits;
  auto holds = [&](const CodeArena::Span& span) {
    if (span.length < text.size()) return false;
    const auto first = std::lower_bound(places.begin(), places.end(),
                                         CodeArena::Place{span.chunk, span.offset});
    return first != places.end() && first->chunk == span.chunk &&
           first->offset <= span.offset + (span.length - text.size());
  };
  for (std::size_t c = 0; c < project.classes.size(); ++c) {
    const auto& members = project.classes[c]->members;
    for (std::size_t m = 0; m < members.size(); ++m) {
      if (members[m]->category != mmapi::mcMethod) continue;
      const auto& spans = members[m]->sections.Spans();
      const auto found = std::find_if(spans.begin(), spans.end(), holds);
      if (found != spans.end())
        hits.insert(hits.end(), {std::int32_t(c), std::int32_t(m),
                                 std::int32_t(found - spans.begin() + 1)});
    }
  }
  return hits;
}

// An object of the session with a search over the whole model, which the
// session may withhold (QueryInterface then refuses it).
template <class Main, class Search>
class WithSearch : public ComObject<Main, Search> {
 public:
  explicit WithSearch(HostSession& session) : session_(session) {}

  MMStatus MMCALL QueryInterface(const mmapi::MMGuid& iid, void** out) noexcept override {
    if (iid == Search::IID && !session_.OffersSearches()) {
      if (out) *out = nullptr;
      return mmapi::MM_E_NOINTERFACE;
    }
    return ComObject<Main, Search>::QueryInterface(iid, out);
  }

 protected:
  // Runs find() and hands out its hits, as a view valid until the next search.
  template <class Find>
  MMStatus HandOut(const char* operation, mmapi::MMInt32View* out, Find find) {
    if (!out) return NullOut(operation);
    *out = mmapi::MMInt32View{};
    return Do(operation, [&] {
      hits_ = find();
      *out = mmapi::MMInt32View{hits_.data(), std::uint32_t(hits_.size()), 0};
    });
  }

  HostSession& session_;

 private:
  std::vector<std::int32_t> hits_;  // the last search's, as handed out
};

class CodeModelObject final : public WithSearch<mmapi::IMMCodeModel, mmapi::IMMCodeSearch> {
 public:
  using WithSearch::WithSearch;

  MMStatus MMCALL ClassCount(std::int32_t* out) noexcept override {
    return AnswerValue("ClassCount", out,
                       [&] { return std::int32_t(session_.Project().classes.size()); });
  }
  MMStatus MMCALL Classes(std::int32_t index, mmapi::IMMClass** out) noexcept override {
    return AnswerRef("Classes", out, [&]() -> mmapi::IMMClass* {
      auto& classes = session_.Project().classes;
      CheckIndex("Classes", index, classes.size());
      return classes[std::size_t(index)].Get();
    });
  }
  MMStatus MMCALL FindInMethodCode(const char16_t* text, std::uint32_t length,
                                   mmapi::MMInt32View* out) noexcept override {
    return HandOut("FindInMethodCode", out,
                   [&] { return FindInMethods(session_.Project(), In(text, length)); });
  }
  MMStatus MMCALL ClassNamed(const char16_t* name, std::uint32_t length,
                             mmapi::IMMClass** out) noexcept override {
    return AnswerRef("ClassNamed", out, [&]() -> mmapi::IMMClass* {
      return session_.Project().ClassNamed(In(name, length));
    });
  }
};

// The hyperlinks a search for links of this name must look at (see
// IMMDiagramSearch): diagram, shape and hyperlink index of each.
std::vector<std::int32_t> FindHyperlinks(const ModelProject& project, std::u16string_view name) {
  std::vector<std::int32_t> hits;
  for (std::size_t d = 0; d < project.diagrams.size(); ++d) {
    const auto& shapes = project.diagrams[d]->shapes;
    for (std::size_t s = 0; s < shapes.size(); ++s)
      shapes[s]->hyperlinks.VisitNamedOrBeyondAscii(name, [&](std::size_t h) {
        hits.insert(hits.end(), {std::int32_t(d), std::int32_t(s), std::int32_t(h)});
      });
  }
  return hits;
}

class DiagramManagerObject final
    : public WithSearch<mmapi::IMMDiagramManager, mmapi::IMMDiagramSearch> {
 public:
  using WithSearch::WithSearch;

  MMStatus MMCALL DiagramCount(std::int32_t* out) noexcept override {
    return AnswerValue("DiagramCount", out,
                       [&] { return std::int32_t(session_.Project().diagrams.size()); });
  }
  MMStatus MMCALL Diagrams(std::int32_t index, mmapi::IMMDiagram** out) noexcept override {
    return AnswerRef("Diagrams", out, [&]() -> mmapi::IMMDiagram* {
      auto& diagrams = session_.Project().diagrams;
      CheckIndex("Diagrams", index, diagrams.size());
      return diagrams[std::size_t(index)].Get();
    });
  }
  MMStatus MMCALL CreateDiagram(std::int32_t kind, const char16_t* name, std::uint32_t length,
                                mmapi::IMMDiagram** out) noexcept override {
    return AnswerRef("CreateDiagram", out, [&]() -> mmapi::IMMDiagram* {
      if (kind < 0 || kind > 13)
        Fail(mmapi::MM_E_INVALIDARG,
             "CreateDiagram: kind " + std::to_string(kind) + " is not one of 0..13");
      ModelProject& project = session_.Project();
      auto diagram = project.NewDiagram(kind);
      diagram->name = In(name, length);
      project.AddDiagram(diagram);
      project.changes.Added(diagram->ElementId());
      return diagram.Get();
    });
  }
  MMStatus MMCALL IndexOfId(std::int32_t id, std::int32_t* index) noexcept override {
    return AnswerValue("IndexOfId", index, [&] { return session_.Project().IndexOfDiagram(id); });
  }

  MMStatus MMCALL HyperlinksNamed(const char16_t* name, std::uint32_t length,
                                  mmapi::MMInt32View* out) noexcept override {
    return HandOut("HyperlinksNamed", out,
                   [&] { return FindHyperlinks(session_.Project(), In(name, length)); });
  }
};

class ProjectManagerObject final : public ComObject<mmapi::IMMProjectManager> {
 public:
  explicit ProjectManagerObject(HostSession& session) : session_(session) {}

  MMStatus MMCALL ProjectFileName(MMStrView* out) noexcept override {
    return AnswerText("ProjectFileName", out, [&]() -> const std::u16string& {
      fileName_ = mmapi::cxx::ToUtf16(session_.Project().fileName.string());
      return fileName_;
    });
  }
  MMStatus MMCALL BeginModelChange() noexcept override { return mmapi::MM_OK; }

 private:
  HostSession& session_;
  std::u16string fileName_;  // the text last handed out
};

// The patterns as the interface hands them out: one per line.
std::u16string PatternText(const std::vector<std::string>& patterns) {
  std::string text;
  for (const std::string& p : patterns) text += p + "\n";
  return mmapi::cxx::ToUtf16(text);
}

}  // namespace

class ToolServicesObject final
    : public ComObject<mmapi::IMMToolServices, mmapi::IMMCallStackOptions> {
 public:
  explicit ToolServicesObject(HostSession& session)
      : session_(session),
        navigator_(MakeCom<NavigatorObject>(session)),
        codeModel_(MakeCom<CodeModelObject>(session)),
        diagrams_(MakeCom<DiagramManagerObject>(session)),
        projectManager_(MakeCom<ProjectManagerObject>(session)) {}

  MMStatus MMCALL RegisterExpert(mmapi::IMMExpert* expert, std::int32_t* index) noexcept override {
    return AnswerValue("RegisterExpert", index, [&] {
      if (!expert) Fail(mmapi::MM_E_POINTER, "RegisterExpert: the expert is null");
      session_.experts_.push_back(
          {ComPtr<mmapi::IMMExpert>::Share(expert), session_.registrant_, session_.sequence_++});
      return std::int32_t(session_.experts_.size() - 1);
    });
  }
  MMStatus MMCALL RegisterProjectNotifier(mmapi::IMMProjectNotifier* notifier,
                                          std::int32_t* index) noexcept override {
    return AnswerValue("RegisterProjectNotifier", index, [&] {
      if (!notifier) Fail(mmapi::MM_E_POINTER, "RegisterProjectNotifier: the notifier is null");
      session_.notifiers_.push_back(
          {ComPtr<mmapi::IMMProjectNotifier>::Share(notifier), session_.registrant_,
           session_.sequence_++});
      return std::int32_t(session_.notifiers_.size() - 1);
    });
  }
  MMStatus MMCALL HostWindowHandle(std::uint64_t* handle) noexcept override {
    return AnswerValue("HostWindowHandle", handle, [&] { return session_.windowHandle_; });
  }
  MMStatus MMCALL CodeModel(mmapi::IMMCodeModel** out) noexcept override {
    return AnswerRef("CodeModel", out, [&] { return codeModel_.Get(); });
  }
  MMStatus MMCALL DiagramManager(mmapi::IMMDiagramManager** out) noexcept override {
    return AnswerRef("DiagramManager", out, [&] { return diagrams_.Get(); });
  }
  MMStatus MMCALL Navigator(mmapi::IMMNavigator** out) noexcept override {
    return AnswerRef("Navigator", out, [&] { return navigator_.Get(); });
  }
  MMStatus MMCALL ProjectManager(mmapi::IMMProjectManager** out) noexcept override {
    return AnswerRef("ProjectManager", out, [&] { return projectManager_.Get(); });
  }
  MMStatus MMCALL GetErrorText(MMStrView* out) noexcept override {
    return AnswerText("GetErrorText", out,
                      []() -> const std::u16string& { return ErrorRecord(); });
  }
  MMStatus MMCALL SetErrorText(const char16_t* text, std::uint32_t length) noexcept override {
    return Do("SetErrorText", [&] { ErrorRecord() = In(text, length); });
  }
  MMStatus MMCALL ReportEntryFailure(const char16_t* text, std::uint32_t length) noexcept override {
    return Do("ReportEntryFailure", [&] {
      session_.entryFailure_ = mmapi::cxx::ToUtf8(In(text, length));
      if (session_.entryFailure_.empty()) session_.entryFailure_ = "entry failed";
    });
  }

  MMStatus MMCALL DepthLimit(std::int32_t* out) noexcept override {
    return AnswerValue("DepthLimit", out,
                       [&] { return std::int32_t(session_.callStacks_.depthLimit); });
  }
  MMStatus MMCALL IncludePatterns(MMStrView* out) noexcept override {
    return AnswerText("IncludePatterns", out, [&]() -> const std::u16string& {
      includePatterns_ = PatternText(session_.callStacks_.include);
      return includePatterns_;
    });
  }
  MMStatus MMCALL ExcludePatterns(MMStrView* out) noexcept override {
    return AnswerText("ExcludePatterns", out, [&]() -> const std::u16string& {
      excludePatterns_ = PatternText(session_.callStacks_.exclude);
      return excludePatterns_;
    });
  }

 private:
  HostSession& session_;
  ComPtr<NavigatorObject> navigator_;
  ComPtr<CodeModelObject> codeModel_;
  ComPtr<DiagramManagerObject> diagrams_;
  ComPtr<ProjectManagerObject> projectManager_;
  // The texts last handed out, one each, so that asking for one does not
  // move the other's.
  std::u16string includePatterns_;
  std::u16string excludePatterns_;
};

HostSession::HostSession()
    : project_(std::make_unique<ModelProject>()),
      services_(MakeCom<ToolServicesObject>(*this)) {}

HostSession::~HostSession() {
  experts_.clear();
  notifiers_.clear();
}

void HostSession::ReplaceProject(std::unique_ptr<ModelProject> project) {
  project_ = std::move(project);
  if (!project_->onPrint) project_->onPrint = printDiagram_;
  project_->changes.SetListener(changeListener_);
}

void HostSession::SetChangeListener(std::function<void()> listener) {
  changeListener_ = std::move(listener);
  project_->changes.SetListener(changeListener_);
}

void HostSession::SetDiagramPrinter(std::function<void(const ModelDiagram&)> print) {
  printDiagram_ = std::move(print);
  project_->onPrint = printDiagram_;
}

std::string HostSession::TakeEntryFailure() { return std::exchange(entryFailure_, {}); }

void HostSession::ReleaseRegistrations(int plugin) {
  // Latest registration first, experts and notifiers interleaved as made.
  for (int seq = sequence_ - 1; seq >= 0; --seq) {
    for (auto& r : notifiers_)
      if (r.plugin == plugin && r.sequence == seq) r.notifier.Reset();
    for (auto& r : experts_)
      if (r.plugin == plugin && r.sequence == seq) r.expert.Reset();
  }
  std::erase_if(notifiers_, [](const auto& r) { return !r.notifier; });
  std::erase_if(experts_, [](const auto& r) { return !r.expert; });
}

}  // namespace drvx::modelhost

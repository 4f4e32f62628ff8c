// The host's root services and its navigator and project manager. The common
// rules of model.h apply.
#pragma once

#include "mmapi/diagram.h"

namespace mmapi {

struct IMMExpert;
struct IMMProjectNotifier;

// View code of the diagram editor for IMMNavigator::ShowView.
inline constexpr std::int32_t MMViewDiagrams = 7;

// What is current in the host's user interface. Every getter may answer null.
struct IMMNavigator : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{65BC779A-A778-4A67-84B1-9C8E09EEB3A8}");

  virtual MMStatus MMCALL CurrentClass(IMMClass** out) = 0;
  virtual MMStatus MMCALL CurrentMember(IMMMember** out) = 0;
  virtual MMStatus MMCALL CurrentMethod(IMMMethod** out) = 0;
  virtual MMStatus MMCALL CurrentDiagram(IMMDiagram** out) = 0;
  virtual MMStatus MMCALL CurrentModule(IMMModule** out) = 0;
  // Makes the class current (and its module); the current member goes.
  virtual MMStatus MMCALL NavigateToClass(IMMClass* cls) = 0;
  // Makes the member current, with its class and module; a method also
  // becomes the current method.
  virtual MMStatus MMCALL ShowMember(IMMMember* member) = 0;
  virtual MMStatus MMCALL ShowDiagram(IMMDiagram* diagram) = 0;
  virtual MMStatus MMCALL ShowView(std::int32_t viewCode, MMBool bringToFront) = 0;

 protected:
  ~IMMNavigator() = default;
};

struct IMMProjectManager : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{335AD7A6-3F02-439C-887D-7076C6DFB2D4}");

  // Full path of the open project file; empty when the project was never saved.
  virtual MMStatus MMCALL ProjectFileName(MMStrView* out) = 0;
  // Tells the host that a tool is about to change the model.
  virtual MMStatus MMCALL BeginModelChange() = 0;

 protected:
  ~IMMProjectManager() = default;
};

struct IMMToolServices : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{CA15CF43-3A73-4DC7-B578-93AFDBBCAFF7}");

  // The host keeps a counted reference until it unloads the plug-in; *index
  // receives the registration number.
  virtual MMStatus MMCALL RegisterExpert(IMMExpert* expert, std::int32_t* index) = 0;
  virtual MMStatus MMCALL RegisterProjectNotifier(IMMProjectNotifier* notifier,
                                                  std::int32_t* index) = 0;
  // The host's application window (0 when it has none, as when headless).
  virtual MMStatus MMCALL HostWindowHandle(std::uint64_t* handle) = 0;
  virtual MMStatus MMCALL CodeModel(IMMCodeModel** out) = 0;
  virtual MMStatus MMCALL DiagramManager(IMMDiagramManager** out) = 0;
  virtual MMStatus MMCALL Navigator(IMMNavigator** out) = 0;
  virtual MMStatus MMCALL ProjectManager(IMMProjectManager** out) = 0;

  // The calling thread's error record: the text of the last failure reported
  // on this thread, by the host or by a plug-in operation the host called.
  virtual MMStatus MMCALL GetErrorText(MMStrView* out) = 0;
  virtual MMStatus MMCALL SetErrorText(const char16_t* text, std::uint32_t length) = 0;
  // A plug-in whose entry function fails says so here (the entry function has
  // no result); the host then releases what the plug-in registered and
  // unloads it.
  virtual MMStatus MMCALL ReportEntryFailure(const char16_t* text, std::uint32_t length) = 0;

 protected:
  ~IMMToolServices() = default;
};

// How the host wants the call stacks that traced programs send drawn: which
// calls to leave out before a stack becomes a sequence diagram. Optional: the
// plug-in asks the tool services for it (QueryInterface) when a stack
// arrives; a host without it has every received call drawn.
struct IMMCallStackOptions : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{61173127-5588-4812-A0AD-EB600C20AAA6}");

  // The number of innermost calls to keep, after the class patterns; 0 keeps
  // them all.
  virtual MMStatus MMCALL DepthLimit(std::int32_t* out) = 0;
  // Class-name patterns, one per line ('*' stands for any characters, '?'
  // for one; case counts). A call is kept when its class matches one of the
  // include patterns (or there are none) and none of the exclude patterns.
  virtual MMStatus MMCALL IncludePatterns(MMStrView* out) = 0;
  virtual MMStatus MMCALL ExcludePatterns(MMStrView* out) = 0;

 protected:
  ~IMMCallStackOptions() = default;
};

}  // namespace mmapi

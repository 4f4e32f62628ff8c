// TMMDiagramExplorer: queries and navigation over the host's diagrams — the
// current names, the diagram list, the reference search and its selection,
// diagram links, documentation reports and printing, and diagram names in
// the house style.
//
// Guarded operations catch every error, set FExMsg to "Exception in
// TMMDiagramExplorer.<operation>:<message>", show it in a plain message box
// and end with their neutral result; the others let errors pass to their
// caller. No host interface is held between operations except the two in
// each selection entry. User-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "expert_settings.h"
#include "host_api.h"

namespace drvx::diagrams {

using Lines = std::vector<std::string>;

// One diagram found by a reference search.
struct TDiagramSpec {
  std::string DiagramName;  // as it was when found
  std::string SymbolName;   // the symbol whose hyperlink matched
  host::Diagram Diagram;
  std::int32_t DiagramId = -1;
  host::Shape Symbol;
};

enum TReferenceKind { rkMember = 1, rkDiagram = 2, rkClass = 3 };

class TMMDiagramExplorer {
 public:
  // settings may be null (the built-in diagram name prefixes are used then).
  TMMDiagramExplorer(host::Services services, settings::TExpertSettings* settings);
  ~TMMDiagramExplorer();
  TMMDiagramExplorer(const TMMDiagramExplorer&) = delete;
  TMMDiagramExplorer& operator=(const TMMDiagramExplorer&) = delete;

  // ---- current context and name lookup
  std::string GetCurClassName();    // guarded; "" when none
  std::string GetCurDiagramName();  // guarded
  std::string GetCurMemberName();   // guarded
  std::int32_t GetDiagramCount();
  void GetDiagramNames(Lines& list);
  // The first diagram (lowest index) of exactly that name, or none.
  host::Diagram FindDiagram(const std::string& name);
  void GoToDiagramByName(const std::string& name);
  void GoToDiagram(int index);            // guarded; shows the entry's diagram
  std::string GetDiagramName(int index);  // guarded; "" outside the selection
  void ClearDiagramSelection();           // guarded

  // ---- reference search: results fill `result` (diagram names) and
  // `symbolNames` (matching symbols), line i for selection entry i.
  void GetCurrentClassReferences(Lines& result, Lines& symbolNames);
  void GetCurrentDiagramReferences(Lines& result, Lines& symbolNames);
  void GetCurrentMemberReferences(Lines& result, Lines& symbolNames);
  void LocateDiagramReferences(const std::string& aRefStr, Lines& result, TReferenceKind kind,
                               Lines& symbolNames);
  // Selects the diagram when the symbol's link h is named aRefStr and
  // passes the kind's test; true when it did.
  bool SelectIfReference(const host::Diagram& diagram, const host::Shape& symbol, std::int32_t h,
                         const std::string& aRefStr, TReferenceKind kind);
  bool IsCurClass(const host::Hyperlink& link);
  bool IsDiagramLink(const host::Hyperlink& link);
  bool IsMemberOfCurClass(const host::Hyperlink& link);

  // ---- links: a "called by:" package of links to the selection's diagrams
  // on the current diagram.
  void AddLink();

  // ---- documentation
  void GetDiagramDoc(const std::string& name, Lines& lines, host::Diagram& diagram);
  void AssociationDoc(host::DiagramKind diagramKind, const host::Association& association,
                      Lines& lines);
  void ExtractDocumentation(const Lines& names, Lines& lines);
  void PrintDocumentation(const Lines& names, bool withDiagrams);
  void PrintLines(const Lines& lines);
  void PrintCurrentDiagramWithDocumentation();

  // ---- name validation
  void ValidateDiagramNames();

  const std::vector<std::unique_ptr<TDiagramSpec>>& Selection() const { return FDiagramSelection; }
  const std::string& ExMsg() const { return FExMsg; }

  bool IgnoreEmptySymbols = true;
  bool OneLiner = false;

 private:
  // Runs body; on an error reports it under the operation's name and gives
  // `neutral`.
  template <class T, class Body>
  T Guarded(const char* operation, T neutral, Body&& body);
  template <class Body>
  void Guarded(const char* operation, Body&& body);
  void Report(const char* operation, const std::exception& error);
  std::string DateLine() const;

  std::vector<std::unique_ptr<TDiagramSpec>> FDiagramSelection;
  std::string linkName_;  // the link name being compared, its buffer kept
  std::string FExMsg;
  settings::TExpertSettings* FSettings;
  host::Services FServices;
};

template <class T, class Body>
T TMMDiagramExplorer::Guarded(const char* operation, T neutral, Body&& body) {
  try {
    return body();
  } catch (const std::exception& error) {
    Report(operation, error);
    return neutral;
  }
}

template <class Body>
void TMMDiagramExplorer::Guarded(const char* operation, Body&& body) {
  try {
    body();
  } catch (const std::exception& error) {
    Report(operation, error);
  }
}

}  // namespace drvx::diagrams

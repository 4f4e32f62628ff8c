// Interfaces of the host's diagrams: the diagram manager, diagrams, their
// explorers, shapes (symbols and associations) and hyperlinks. The common
// rules of model.h apply.
#pragma once

#include "mmapi/model.h"

namespace mmapi {

// Hyperlink kinds: what the target identifier names.
enum MMHyperlinkKind : std::int32_t {
  hkClass = 0,
  hkMember = 1,
  hkModule = 2,
  hkExternal = 3,  // an address outside the model: no target element
  hkDiagram = 4,
};

// Diagram kinds the plug-in names. The host numbers its kinds 0..13; the
// others (1 package, 2 a second class kind, 3 component, 4 deployment,
// 8 interaction overview, 9 a second interaction kind, 13 unnamed) cross the
// boundary as their numbers.
enum MMDiagramKind : std::int32_t {
  dkClass = 0,
  dkUseCase = 5,
  dkInteraction = 6,
  dkActivity = 7,
  dkStateMachine = 10,
  dkRobustness = 11,
  dkMindMap = 12,
};

struct IMMHyperlink : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{A9018B29-E286-494A-95B8-69ED6AB70C24}");

  // The link's text: the target's name when the link was made.
  virtual MMStatus MMCALL Name(MMStrView* out) = 0;
  virtual MMStatus MMCALL Kind(std::int32_t* out) = 0;
  // The linked element (query it for IMMClass, IMMMember, IMMDiagram...);
  // null when the link has no target or the target is gone.
  virtual MMStatus MMCALL Target(IMMUnknown** out) = 0;

 protected:
  ~IMMHyperlink() = default;
};

// A symbol or an association on a diagram. Name is the caption.
struct IMMShape : IMMElement {
  using BaseInterface = IMMElement;
  static constexpr MMGuid IID = MakeGuid("{4C046873-CBE3-427E-AA78-E9DAC5ACCF8C}");

  virtual MMStatus MMCALL ShapeClass(MMStrView* out) = 0;
  virtual MMStatus MMCALL HyperlinkCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Hyperlinks(std::int32_t index, IMMHyperlink** out) = 0;
  // The name of hyperlink `index` without handing out the link: walks over
  // many links read their names this way.
  virtual MMStatus MMCALL HyperlinkName(std::int32_t index, MMStrView* out) = 0;
  // Kinds hkClass, hkMember, hkModule and hkDiagram need the identifier of an
  // element of that kind (MM_E_NOTFOUND otherwise); hkExternal is refused
  // here (MM_E_INVALIDARG).
  virtual MMStatus MMCALL AddHyperlink(std::int32_t kind, std::int32_t targetId,
                                       IMMHyperlink** out) = 0;
  virtual MMStatus MMCALL Caption(MMStrView* out) = 0;
  virtual MMStatus MMCALL Documentation(MMStrView* out) = 0;
  virtual MMStatus MMCALL OneLiner(MMStrView* out) = 0;
  // Text of a named property; empty when the shape has no such property.
  virtual MMStatus MMCALL Property(const char16_t* name, std::uint32_t nameLength,
                                   MMStrView* out) = 0;
  virtual MMStatus MMCALL SetCaption(const char16_t* text, std::uint32_t length) = 0;
  virtual MMStatus MMCALL SetProperty(const char16_t* name, std::uint32_t nameLength,
                                      const char16_t* value, std::uint32_t valueLength) = 0;
  // Absolute position on the diagram.
  virtual MMStatus MMCALL SetPosition(std::int32_t x, std::int32_t y) = 0;
  // Position relative to the parent symbol (absolute for a symbol without one).
  virtual MMStatus MMCALL SetLocation(std::int32_t x, std::int32_t y) = 0;
  virtual MMStatus MMCALL SetWidth(std::int32_t width) = 0;
  virtual MMStatus MMCALL SetHeight(std::int32_t height) = 0;
  virtual MMStatus MMCALL Parent(IMMShape** out) = 0;

 protected:
  ~IMMShape() = default;
};

struct IMMAssociation : IMMShape {
  using BaseInterface = IMMShape;
  static constexpr MMGuid IID = MakeGuid("{2D013EB2-1A3C-40D3-BCC5-48BEC795A72E}");

  virtual MMStatus MMCALL Source(IMMShape** out) = 0;
  virtual MMStatus MMCALL Target(IMMShape** out) = 0;

 protected:
  ~IMMAssociation() = default;
};

// Second interface of role symbols (lifelines): the activation text, pairs
// "(start,end)" written back to back.
struct IMMRoleSymbol : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{FDE159CC-9391-438D-BDE8-9FD48E0ABEB0}");

  virtual MMStatus MMCALL Activations(MMStrView* out) = 0;
  virtual MMStatus MMCALL SetActivations(const char16_t* text, std::uint32_t length) = 0;

 protected:
  ~IMMRoleSymbol() = default;
};

// Read access to the shapes of one diagram. Shapes lists every shape in the
// order made; Symbols and Associations list the two sorts separately.
struct IMMShapeExplorer : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{2237BFF2-50C5-4B2C-A27D-80DDE0A943B3}");

  virtual MMStatus MMCALL ShapeCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Shapes(std::int32_t index, IMMShape** out) = 0;
  virtual MMStatus MMCALL SymbolCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Symbols(std::int32_t index, IMMShape** out) = 0;
  virtual MMStatus MMCALL AssociationCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Associations(std::int32_t index, IMMAssociation** out) = 0;

 protected:
  ~IMMShapeExplorer() = default;
};

struct IMMDiagramLayout : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{6C03CF8D-D801-4B1B-967E-FDCC1176519A}");

  // Page size class 0..4 (larger means a taller page) and the landscape flag.
  virtual MMStatus MMCALL SetPageFormat(std::int32_t sizeClass, MMBool flag) = 0;
  virtual MMStatus MMCALL PageFormat(std::int32_t* sizeClass, MMBool* flag) = 0;

 protected:
  ~IMMDiagramLayout() = default;
};

// The editing side of a diagram's explorer (query the shape explorer for it).
struct IMMDiagramExplorer : IMMShapeExplorer {
  using BaseInterface = IMMShapeExplorer;
  static constexpr MMGuid IID = MakeGuid("{E467162C-1F59-425B-9AC1-3542E2987EA6}");

  // Ends a group of changes; the host may redraw.
  virtual MMStatus MMCALL ApplyChanges() = 0;
  // parent may be null; otherwise a symbol of the same diagram.
  virtual MMStatus MMCALL CreateSymbol(const char16_t* symbolClass, std::uint32_t length,
                                       IMMShape* parent, IMMShape** out) = 0;
  // source and target must be symbols of the same diagram.
  virtual MMStatus MMCALL CreateAssociation(const char16_t* associationClass,
                                            std::uint32_t length, IMMShape* source,
                                            IMMShape* target, IMMAssociation** out) = 0;
  virtual MMStatus MMCALL DiagramLayout(IMMDiagramLayout** out) = 0;

 protected:
  ~IMMDiagramExplorer() = default;
};

// Diagram kinds 0..13; see docs/project-format.md for their names.
struct IMMDiagram : IMMElement {
  using BaseInterface = IMMElement;
  static constexpr MMGuid IID = MakeGuid("{CE38553B-1CDC-456D-A26B-A35C41691A3F}");

  virtual MMStatus MMCALL Kind(std::int32_t* out) = 0;
  virtual MMStatus MMCALL SetName(const char16_t* text, std::uint32_t length) = 0;
  // The explorer also offers IMMDiagramExplorer.
  virtual MMStatus MMCALL Explorer(IMMShapeExplorer** out) = 0;
  virtual MMStatus MMCALL Print() = 0;

 protected:
  ~IMMDiagram() = default;
};

struct IMMDiagramManager : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{625CD028-3DE7-4C07-B612-EDC43A079E09}");

  virtual MMStatus MMCALL DiagramCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Diagrams(std::int32_t index, IMMDiagram** out) = 0;
  // Appends a new, empty diagram; fails with MM_E_INVALIDARG outside 0..13.
  virtual MMStatus MMCALL CreateDiagram(std::int32_t kind, const char16_t* name,
                                        std::uint32_t length, IMMDiagram** out) = 0;
  // Index of the diagram with this identifier, -1 when there is none.
  // Constant time.
  virtual MMStatus MMCALL IndexOfId(std::int32_t id, std::int32_t* index) = 0;

 protected:
  ~IMMDiagramManager() = default;
};

// A search over all diagrams in one call. Optional: from a diagram manager
// that refuses it (QueryInterface) the same answers come shape by shape
// (IMMShape::HyperlinkName).
struct IMMDiagramSearch : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{321C8761-3AB6-4AA9-8F7A-B2C10B21DB99}");

  // The hyperlinks a search for links of this name must look at: every one
  // named exactly so (case-sensitive), and every one whose name has a
  // character beyond ASCII, which a caller comparing 8-bit forms of names
  // (where several names may share one form) compares itself. In the order
  // of diagrams, shapes and hyperlinks, three values each: the diagram's
  // index, the shape's index in its diagram's shape explorer, and the
  // hyperlink's index in its shape. The view stays valid until the next
  // search.
  virtual MMStatus MMCALL HyperlinksNamed(const char16_t* name, std::uint32_t length,
                                          MMInt32View* out) = 0;

 protected:
  ~IMMDiagramSearch() = default;
};

}  // namespace mmapi

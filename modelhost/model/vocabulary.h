// The names the substitute host shows and stores for its enumerations. The
// index of a name is the value that crosses the boundary.
#pragma once

#include <array>
#include <string_view>

namespace drvx::modelhost {

// Diagram kinds 0..13, as the host names them (13 has no name).
inline constexpr std::array<std::string_view, 14> kDiagramKindNames = {
    "class",    "package",   "class",         "component",     "deployment",
    "use case", "interaction", "activity",    "interaction overview",
    "interaction", "state machine", "robustness", "mindmap", ""};

inline constexpr std::array<std::string_view, 4> kMemberCategoryNames = {"field", "property",
                                                                          "method", "event"};
inline constexpr std::array<std::string_view, 8> kVisibilityNames = {
    "scDefault", "scStrictPrivate", "scPrivate",   "scStrictProtected",
    "scProtected", "scPublic",      "scPublished", "scAutomated"};
inline constexpr std::array<std::string_view, 6> kMethodKindNames = {
    "constructor", "destructor", "procedure", "function", "operator", "method"};
inline constexpr std::array<std::string_view, 5> kBindingNames = {"static", "virtual", "dynamic",
                                                                  "override", "abstract"};
inline constexpr std::array<std::string_view, 5> kHyperlinkKindNames = {
    "class", "member", "module", "external", "diagram"};

}  // namespace drvx::modelhost

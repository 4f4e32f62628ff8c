#include "method_list.h"

namespace drvx::codegen {
namespace {

std::string UpperAToZ(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

}  // namespace

std::vector<std::string> MethodEntries(const host::CodeModel& model) {
  std::vector<std::string> entries;
  for (const host::Class& cls : model.AllClasses()) {
    for (const host::Member& member : cls.AllMembers()) {
      const host::MemberCategory category = member.MemberCategory();
      if (category == host::MemberCategory::Method || category == host::MemberCategory::Event)
        entries.push_back(cls.Name() + "." + member.Name());
    }
  }
  return entries;
}

host::Member FindMethodEntry(const host::CodeModel& model, const std::string& entry) {
  const auto dot = entry.find('.');
  const std::string classPart = UpperAToZ(entry.substr(0, dot));
  const std::string memberPart =
      UpperAToZ(dot == std::string::npos ? std::string() : entry.substr(dot + 1));
  for (const host::Class& cls : model.AllClasses()) {
    if (UpperAToZ(cls.Name()) != classPart) continue;
    for (const host::Member& member : cls.AllMembers())
      if (UpperAToZ(member.Name()) == memberPart) return member;
  }
  return {};
}

}  // namespace drvx::codegen

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
  const int classes = model.ClassCount();
  for (int c = 0; c < classes; ++c) {
    const host::Class cls = model.Classes(c);
    const int members = cls.MemberCount();
    for (int m = 0; m < members; ++m) {
      const host::Member member = cls.Members(m);
      const int category = member.MemberCategory();
      if (category == mmapi::mcMethod || category == mmapi::mcEvent)
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
  const int classes = model.ClassCount();
  for (int c = 0; c < classes; ++c) {
    const host::Class cls = model.Classes(c);
    if (UpperAToZ(cls.Name()) != classPart) continue;
    const int members = cls.MemberCount();
    for (int m = 0; m < members; ++m) {
      host::Member member = cls.Members(m);
      if (UpperAToZ(member.Name()) == memberPart) return member;
    }
  }
  return {};
}

}  // namespace drvx::codegen

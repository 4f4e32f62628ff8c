// Method referencing: which methods' code mentions a method or any text.
#include <stdexcept>

#include "expert_functions.h"

namespace drvx::codegen {
namespace {

std::string HitLine(const std::string& className, const std::string& memberName, int section) {
  return className + "." + memberName + " Section:" + std::to_string(section);
}

// Adds a line for every method whose code contains the text, in the host's
// order of classes and members: with one search of the host's when it has
// one, else method by method.
void Scan(const host::CodeModel& model, const std::string& text, std::vector<std::string>& lines) {
  if (const host::CodeSearch search = model.Search()) {
    host::Class cls;
    std::string className;
    std::int32_t classIndex = -1;
    for (const host::CodeHit& hit : search.FindInMethodCode(text)) {
      if (hit.classIndex != classIndex) {
        classIndex = hit.classIndex;
        cls = model.Classes(classIndex);
        className = cls.Name();
      }
      lines.push_back(HitLine(className, cls.Members(hit.memberIndex).Name(), hit.section));
    }
    return;
  }
  std::string memberName;
  for (const host::Class& cls : model.AllClasses()) {
    std::string className;
    for (const host::Member& member : cls.AllMembers()) {
      if (member.MemberCategory() != host::MemberCategory::Method) continue;
      const int section = TExpertFunctions::FindTextInSections(member.As<host::Method>(), text);
      if (section == 0) continue;
      if (className.empty()) className = cls.Name();
      member.ReadName(memberName);
      lines.push_back(HitLine(className, memberName, section));
    }
  }
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

int TExpertFunctions::FindTextInSections(const host::Method& method, const std::string& text) {
  if (text.empty() || !method) return 0;
  return method.FindInSections(text);
}

void TExpertFunctions::LookUpReferencingMethods(std::vector<std::string>& lines) {
  lines.clear();
  const host::Navigator nav = FToolServices.Nav();
  const host::Method method = nav.CurrentMethod();
  const host::Class cls = nav.CurrentClass();
  if (!method || !cls) throw std::runtime_error("no method is current to look up its references");
  const std::string name = method.Name();
  lines.push_back("<<" + cls.Name() + "." + name + ">>");
  Scan(FToolServices.Model(), name, lines);
}

void TExpertFunctions::FindStringInModel(std::vector<std::string>& lines, const std::string& text) {
  lines.clear();
  lines.push_back("<<" + text + ">>");
  Scan(FToolServices.Model(), text, lines);
}

void TExpertFunctions::ShowReferencedMember(const std::string& line) {
  const auto dot = line.find('.');
  const std::string className = line.substr(0, dot);
  const std::string rest = dot == std::string::npos ? std::string() : line.substr(dot + 1);
  const std::string memberName = Trimmed(rest.substr(0, rest.find(' ')));
  LocateClass(className);
  const host::Navigator nav = FToolServices.Nav();
  const host::Class cls = nav.CurrentClass();
  if (!cls) return;
  const int index = cls.FindMember(memberName);
  if (index >= 0) nav.ShowMember(cls.Members(index));
}

}  // namespace drvx::codegen

#include "call_list.h"

#include "mmapi/cxx/utf.h"

namespace drvx::bench {

std::vector<std::string> CallList(const modelhost::ModelProject& project, int lines) {
  std::vector<std::string> roles;
  std::vector<std::string> methods;
  for (const auto& cls : project.classes) {
    if (roles.size() == 25) break;
    roles.push_back(mmapi::cxx::ToUtf8(cls->name));
    std::string method = "Run";
    for (const auto& m : cls->members)
      if (m->category == mmapi::mcMethod) method = mmapi::cxx::ToUtf8(m->name);
    methods.push_back(method + "(x)");
  }
  while (roles.size() < 50) {
    roles.push_back("Actor" + std::to_string(roles.size()));
    methods.push_back("Notify");
  }
  std::vector<std::string> list{roles[0] + ".Start"};
  for (int i = 1; i < lines; ++i) {
    const std::size_t r = std::size_t((i * 7) % 50);
    list.push_back(roles[r] + "." + methods[r]);
  }
  return list;
}

}  // namespace drvx::bench

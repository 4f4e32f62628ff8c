// Text views of the substitute host's model for the script runner.
#pragma once

#include <ostream>

#include "project.h"

namespace drvx::modelhost {

void PrintSummary(std::ostream& out, const ModelProject& project);
void PrintModules(std::ostream& out, const ModelProject& project);
void PrintModule(std::ostream& out, const ModelModule& module);
void PrintClasses(std::ostream& out, const ModelProject& project);
void PrintClass(std::ostream& out, const ModelClass& cls);
void PrintMethod(std::ostream& out, const ModelMember& method);
void PrintDiagrams(std::ostream& out, const ModelProject& project);
void PrintDiagram(std::ostream& out, const ModelDiagram& diagram);
void PrintNavigator(std::ostream& out, const ModelProject& project);
// A module, class, member or diagram in full, as the print of its kind.
void PrintElement(std::ostream& out, const ModelElement& element);

}  // namespace drvx::modelhost

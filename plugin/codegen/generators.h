// The three code generators, each working on what is current in the host
// through a TExpertFunctions.
#pragma once

#include <string>

namespace drvx::codegen {

class TExpertFunctions;

// Puts a comment header (header.txt beside the host program, then creation
// date and time) in front of the current module's header text.
void GenerateUnitHeader(TExpertFunctions& functions);

// Wraps the current method's code in the try/except template of the settings
// and adds the fields the template uses to the current class.
void WrapCurrentMethodInTryExcept(TExpertFunctions& functions);

// Adds a copy constructor Create(aInstance : <Class>) and a function Clone to
// the current class, each only if it is missing.
void AddCopyConstructorAndClone(TExpertFunctions& functions);

// One line of LocalFields: "name,type,visibility" (the visibility is all the
// text after the second comma, taken as it stands).
struct FieldSpec {
  std::string name;
  std::string type;
  std::string visibility;
};
FieldSpec ParseFieldSpec(const std::string& line);

}  // namespace drvx::codegen

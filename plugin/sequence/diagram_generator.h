// TDiagramGenerator: draws one call-sequence list as a new sequence diagram
// in the host. Made for one generation, then freed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "call_stack_filter.h"
#include "sequence_model.h"
#include "type_memory_stream.h"

namespace drvx::sequence {

class TDiagramGenerator {
 public:
  // Draws into the host's diagrams through `services`.
  explicit TDiagramGenerator(host::Services services) : FToolServices(std::move(services)) {}

  // Creates the diagram, draws it, returns its host identifier. Never throws:
  // a failure shows "Exception in TDiagramGenerator.GenSqDg:<message>" and
  // gives -1; what was drawn in the host until then stays.
  std::int32_t GenSqDg(const std::string& name, const std::vector<std::string>& lines);

  // Where a failure's text goes instead of a message box (none: a message box).
  void SetReporter(std::function<void(const std::string& text)> reporter) {
    FReporter = std::move(reporter);
  }

  // The page size class 0..4 from the number of time steps.
  std::uint8_t GetSizeClass() const;
  // Spreads the lifelines over the page width of the size class.
  void GetRoleDistance();
  // Reverses the lines in place.
  static void InvertCallList(std::vector<std::string>& lines);

  const std::string& ExMsg() const { return FExMsg; }
  std::int32_t RoleDistance() const { return FRoleDistance; }
  std::int32_t MessageCount() const { return FMessageCount; }
  std::int32_t SelfMessageCount() const { return FSelfMessageCount; }
  std::uint8_t SizeClass() const { return FSizeClass; }

 private:
  std::int32_t FRoleDistance = 200;
  std::int32_t FMessageDistance = 25;
  std::string FExMsg;
  std::int32_t FMessageCount = 0;
  std::int32_t FSelfMessageCount = 0;
  std::int32_t FRoleCount = 0;
  std::uint8_t FSizeClass = 0;
  bool FFormatFlag = false;
  host::Services FToolServices;
  std::unique_ptr<TSequenceDiagram> FSequenceDiagram;
  std::function<void(const std::string&)> FReporter;
};

// Draws a call stack received on the message slot (innermost call first, one
// per line) as the diagram "sqDelphiCallStack" of the reversed calls that
// pass the filter; a failure's text goes to the reporter. A stack of which
// the filter leaves nothing is not drawn (a log line says so). Returns the
// diagram's identifier, or -1.
std::int32_t DrawReceivedCallStack(const host::Services& services,
                                   settings::TTypeMemoryStream& stream,
                                   const CallStackFilter& filter,
                                   std::function<void(const std::string&)> reporter);

}  // namespace drvx::sequence

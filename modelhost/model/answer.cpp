#include "answer.h"

#include "mmapi/cxx/utf.h"

namespace drvx::modelhost {

std::u16string& ErrorRecord() {
  thread_local std::u16string record;
  return record;
}

void SetErrorRecord(std::string_view utf8) {
  auto& record = ErrorRecord();
  record.clear();
  mmapi::cxx::AppendUtf16(utf8, record);
}

void Fail(MMStatus status, const std::string& text) { throw StatusError(status, text); }

namespace {
std::vector<PlannedFault>& Plan() {
  static std::vector<PlannedFault> plan;
  return plan;
}
}  // namespace

void PlanFault(PlannedFault fault) {
  Plan().push_back(std::move(fault));
  detail::faultsPlanned = true;
}

void ClearPlannedFaults() {
  Plan().clear();
  detail::faultsPlanned = false;
}

const std::vector<PlannedFault>& PlannedFaults() { return Plan(); }

void detail::FailIfPlanned(const char* operation) {
  auto& plan = Plan();
  for (auto it = plan.begin(); it != plan.end(); ++it) {
    if (it->operation != operation) continue;
    if (it->skip > 0) {
      --it->skip;
      return;
    }
    const std::string text = it->text;
    if (--it->times <= 0) plan.erase(it);
    faultsPlanned = !plan.empty();
    Fail(mmapi::MM_E_UNEXPECTED, text);
  }
}

void CheckIndex(const char* what, std::int32_t index, std::size_t count) {
  if (index < 0 || static_cast<std::size_t>(index) >= count) {
    Fail(mmapi::MM_E_BOUNDS,
         std::string(what) + ": index " + std::to_string(index) +
             (count == 0 ? " is out of range (there are none)"
                         : " is out of range 0.." + std::to_string(count - 1)));
  }
}

}  // namespace drvx::modelhost

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

void CheckIndex(const char* what, std::int32_t index, std::size_t count) {
  if (index < 0 || static_cast<std::size_t>(index) >= count) {
    Fail(mmapi::MM_E_BOUNDS,
         std::string(what) + ": index " + std::to_string(index) +
             (count == 0 ? " is out of range (there are none)"
                         : " is out of range 0.." + std::to_string(count - 1)));
  }
}

}  // namespace drvx::modelhost

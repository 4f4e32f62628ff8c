// TMMBaseExpert: the plug-in's implementation of the host's expert interface.
// The interface's operations call six virtual operations a concrete expert
// replaces; every other operation answers with a neutral result. On its own
// it is a demonstration expert with one verb in each of the eight menus.
//
// Host's user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "host_types.h"

namespace drvx::host {

class TMMBaseExpert : public mmapi::cxx::ComObject<mmapi::IMMExpert> {
 public:
  TMMBaseExpert() = default;

  // IMMExpert, in the interface's order. Out-arguments are cleared first;
  // an error inside gives 0x8000FFFF and leaves its text with the host.
  mmapi::MMStatus MMCALL Registered() noexcept override;
  mmapi::MMStatus MMCALL Execute(std::int32_t index) noexcept override;
  mmapi::MMStatus MMCALL SelectionChanged(mmapi::IMMUnknown* element) noexcept override;
  mmapi::MMStatus MMCALL ExpertId(mmapi::MMStrView* out) noexcept override;
  mmapi::MMStatus MMCALL ModelChanged(std::int32_t what) noexcept override;
  mmapi::MMStatus MMCALL MenuOpening(std::int32_t placement,
                                     mmapi::IMMUnknown* context) noexcept override;
  mmapi::MMStatus MMCALL HostEvent(std::int32_t event, std::int32_t arg1,
                                   std::int32_t arg2) noexcept override;
  mmapi::MMStatus MMCALL VerbHint(std::int32_t index, mmapi::MMStrView* out) noexcept override;
  mmapi::MMStatus MMCALL VerbImage(std::int32_t index, mmapi::IMMUnknown** out) noexcept override;
  mmapi::MMStatus MMCALL VerbPlacement(std::int32_t index, std::uint8_t* out) noexcept override;
  mmapi::MMStatus MMCALL VerbShortcut(std::int32_t index, std::uint16_t* out) noexcept override;
  mmapi::MMStatus MMCALL VerbCount(std::int32_t* out) noexcept override;
  mmapi::MMStatus MMCALL VerbCaption(std::int32_t index, mmapi::MMStrView* out) noexcept override;

 protected:
  // The six operations a concrete expert replaces, in this order.
  virtual mmapi::TMenuPlacement GetMenuPlacement(int index);
  virtual std::uint16_t GetShortCut(int index);
  virtual int GetVerbCount();
  virtual std::u16string GetVerbCaption(int index);
  virtual void ExecuteVerb(int index);
  virtual std::u16string GetExpertId();

 private:
  // Backs the views handed to the host until the next string answer.
  std::u16string answer_;
};

}  // namespace drvx::host

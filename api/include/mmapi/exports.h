// The three functions a plug-in library exports, looked up by these plain
// names. The host calls MMExpertVersionProc first, MMExpertEntryProc once if
// the version is MMExpertInterfaceVersion, and MMExpertExitProc before it
// unloads the library. None of them may let an exception escape.
#pragma once

#include "mmapi/expert.h"

namespace mmapi {

inline constexpr std::int32_t MMExpertInterfaceVersion = 10;

using MMExpertVersionProcType = std::int32_t(MMCALL*)();
using MMExpertEntryProcType = void(MMCALL*)(IMMToolServices* services);
using MMExpertExitProcType = void(MMCALL*)();

inline constexpr const char* MMExpertVersionProcName = "MMExpertVersionProc";
inline constexpr const char* MMExpertEntryProcName = "MMExpertEntryProc";
inline constexpr const char* MMExpertExitProcName = "MMExpertExitProc";

}  // namespace mmapi

#if defined(_WIN32)
#define MM_EXPORT extern "C" __declspec(dllexport)
#else
#define MM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

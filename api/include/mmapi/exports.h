// The three functions a plug-in library exports, looked up by these plain
// names, and the contract between the host and the library around them.
//
//   1. The host calls MMExpertVersionProc first. Only if it answers
//      MMExpertInterfaceVersion does the host go on.
//   2. It then calls MMExpertEntryProc once, on its user-interface thread,
//      with its services. The library registers its experts and notifiers
//      through them (RegisterExpert, RegisterProjectNotifier); the host holds
//      one counted reference to each. Entry reports a failure by leaving a
//      text with the host (SetErrorText); it still returns normally, and what
//      it registered before the failure stays registered.
//   3. Before it unloads the library, the host releases every registered
//      object, and only then calls MMExpertExitProc, on the same thread. The
//      exit procedure is called after a failed entry too, so a library must
//      undo what its entry built whether entry ended or not.
//   4. After the exit procedure no code of the library may run: nothing it
//      left with the host or the window system may call it back.
//
// None of the three may let an exception escape.
//
// Out-parameters, on both sides of the boundary: an operation clears its
// out-parameter (null reference, zero, empty view) before anything else. A
// failed call therefore leaves null, never a stale or half-made reference;
// a success with a null reference means "none" (no current class, no such
// diagram), which the caller tests for rather than treats as a failure.
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

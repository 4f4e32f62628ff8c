// The platform layer is one shared library used by the host and by every
// plug-in in the process, as a window system would be: dialogs, clipboard,
// printer, timers and windows are the same for all of them.
#pragma once

#if defined(_WIN32)
#if defined(DRVX_PLATFORM_BUILD)
#define DRVX_PLATFORM_API __declspec(dllexport)
#else
#define DRVX_PLATFORM_API __declspec(dllimport)
#endif
#else
#define DRVX_PLATFORM_API __attribute__((visibility("default")))
#endif

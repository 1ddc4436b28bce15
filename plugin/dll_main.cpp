// The DLL's load-time entry. All plugin state is static data that takes its initial
// values when the image is mapped, so there is nothing to set up here.
//
// Thread attach and detach notifications are switched off: the plugin keeps no
// per-thread data, and the client calls in from threads of its own, so every thread it
// starts would otherwise call into this DLL for nothing.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "plugin/unload.h"

// Called by the C runtime's DLL entry for each notification. Returns TRUE for every one:
// loading never fails.
// reserved is null on DLL_PROCESS_DETACH when the DLL is freed (FreeLibrary), and not null
// when the process ends: then the system reclaims the memory, and what other DLLs still do
// on their way out may read the plugin's name, so nothing is released.
// [loader thread] (tags: plugin/entry_points.h)
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) wt::releaseAtUnload();
    return TRUE;
}

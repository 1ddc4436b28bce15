#pragma once

// The two halves of the binary interface's function type, written once for both sides.
//
// WT_EXPORT marks a client entry point: C linkage, default visibility. Everything else in
// the library stays hidden.
//
// WT_CALL names the C calling convention (cdecl: arguments pushed right to left, the
// caller cleans the stack) on every entry point and on every host function pointer type.
// It is the default of every compiler we build with, and on x86-64 and WebAssembly the only
// convention, so it changes no code; on 32-bit x86 it states what the DLL assumes, so that a
// build whose default differs (-mrtd, /Gz) still meets the client. Written between the
// result type and the name: `WT_EXPORT int WT_CALL ts3plugin_init(void);`,
// `unsigned int (WT_CALL* getAppPath)(char*, size_t)`.
#if defined(_WIN32)
#define WT_EXPORT extern "C" __declspec(dllexport)
#else
#define WT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(_MSC_VER) && defined(_M_IX86)
#define WT_CALL __cdecl
#elif defined(__i386__)
#define WT_CALL __attribute__((cdecl))
#else
#define WT_CALL
#endif

#pragma once

// Marks a client entry point: C linkage, default visibility, the platform's C calling
// convention. Everything else in the library stays hidden.
#if defined(_WIN32)
#define WT_EXPORT extern "C" __declspec(dllexport)
#else
#define WT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

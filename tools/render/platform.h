#pragma once

// Everything wacky-render needs from the operating system, behind one small interface:
// platform_posix.cpp implements it with dlopen, platform_windows.cpp with LoadLibrary.

#include <cstdio>
#include <string>

namespace wt::render::platform {

// File name of the plugin library as the build names it.
#if defined(_WIN32)
inline constexpr const char* kPluginFileName = "wacky_throats.dll";
#else
inline constexpr const char* kPluginFileName = "wacky_throats.so";
#endif

// Loads a shared library. Returns null on failure and puts the loader's own message in
// `error`. A bare file name means the file in the current directory, not a search.
void* openLibrary(const std::string& path, std::string& error);

// Address of an exported function, or null.
void* findSymbol(void* library, const char* name);

void closeLibrary(void* library);

// Directory holding the running executable, without a trailing separator.
std::string executableDirectory();

bool isTerminal(std::FILE* stream);

// The plugin prints its console lines to the process's standard output. This moves that
// output to standard error (show) or discards it (!show), and returns a stream on the
// original standard output for the tool's own results. Call once, before loading.
std::FILE* setAsidePluginConsole(bool show);

}  // namespace wt::render::platform

#pragma once

// What the tools need from the operating system beyond loading the plugin (which the
// host core does), behind one small interface: platform_posix.cpp and platform_windows.cpp.

#include <cstdio>
#include <string>

namespace wt::session::platform {

// File name of the plugin library as the build names it.
#if defined(_WIN32)
inline constexpr const char* kPluginFileName = "wacky_throats.dll";
#else
inline constexpr const char* kPluginFileName = "wacky_throats.so";
#endif

// Directory holding the running executable, without a trailing separator.
std::string executableDirectory();

bool isTerminal(std::FILE* stream);

// The plugin prints its console lines to the process's standard output. This moves that
// output to standard error (show) or discards it (!show), and returns a stream on the
// original standard output for the tool's own results. Call once, before loading.
std::FILE* setAsidePluginConsole(bool show);

}  // namespace wt::session::platform

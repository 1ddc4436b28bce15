#pragma once

// Loading the plugin library at run time, as the client does, for every host of our own:
// the test host, wacky-render and the programs that check the library's exit. The
// platform's loader lives in its own source file (dlopen or LoadLibrary); nothing else in
// a host is loader code.

#include <string>

#include "plugin/entry_points.h"

namespace wt::hostcore {

// The plugin interface version these hosts speak; a plugin whose ts3plugin_apiVersion
// answers otherwise is not one they can drive.
inline constexpr int kInterfaceVersion = 19;

// Opens the library at `path` with its own symbols kept local, every symbol bound now so
// that a missing one fails here and not at the first call. A path without a directory
// means the file in the current directory, never a search of the system's library path.
// Returns a handle, or null with the loader's own message in *error (when not null).
void* openLibrary(const std::string& path, std::string* error);

// The address of the exported symbol `name`; null when the library does not export it
// or the handle is null.
void* librarySymbol(void* library, const char* name);

// Closes a handle from openLibrary. Null does nothing.
void closeLibrary(void* library);

// This process's ID, to keep temporary file names apart between processes.
long processId();

template <typename Function>
Function entryPoint(void* library, const char* name) {
    return reinterpret_cast<Function>(librarySymbol(library, name));
}

}  // namespace wt::hostcore

// The entry point ts3plugin_<name> of `library`, typed as plugin/entry_points.h declares
// it, so that a changed signature fails to compile in every host; null when not exported.
#define WT_ENTRY_POINT(library, name) \
    ::wt::hostcore::entryPoint<decltype(&ts3plugin_##name)>(library, "ts3plugin_" #name)

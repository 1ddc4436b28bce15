#pragma once

// Loading a dynamic library at run time, as a client does. The platform's loader lives in
// its own source file (dlopen here); nothing else in the test host is platform code.

#include <string>

namespace wt::testhost {

// Opens the library at `path` with its own symbols kept local. Returns a handle, or null
// with a readable reason in *error.
void* openLibrary(const std::string& path, std::string* error);

// The address of the exported symbol `name`, or null when the library does not export it.
void* librarySymbol(void* library, const char* name);

// Closes a handle from openLibrary. Null does nothing.
void closeLibrary(void* library);

// This process's ID, to keep temporary file names apart between test processes.
long processId();

}  // namespace wt::testhost

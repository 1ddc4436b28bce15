// When the library gives back what it keeps for its lifetime.
//
// A client may keep the name pointer and read it in its own exit-time code (an atexit
// handler, a static object's destructor) without ever unloading the plugin. A C++ static
// destructor of this library would be registered with the atexit chain when the library
// is loaded, after the client's own handlers, and so would run before them at exit and
// free the name under them. An ELF destructor (.fini_array) runs when the library is
// unloaded (dlclose) and, at process exit, from the loader's finaliser, which the chain
// runs last: after every atexit handler and static destructor of the client. The main
// program's own ELF destructors come before those of the shared objects it loaded, too.
// So the name is valid for as long as the library is loaded, or until the process has
// finished all its exit-time code, and it never outlives an unload.
//
// Windows builds call releaseAtUnload() from DllMain on DLL_PROCESS_DETACH when the DLL is
// freed (FreeLibrary), and skip it at process exit, where the system reclaims the
// process's memory and other DLLs' exit code may still read the name.

#include "plugin/unload.h"

#include "plugin/plugin_id.h"

namespace wt {

void releaseAtUnload() {
    releasePluginName();
    releasePluginIds();
}

}  // namespace wt

#if !defined(_WIN32)
__attribute__((destructor)) static void releaseWhenUnloaded() {
    wt::releaseAtUnload();
}
#endif

#pragma once

#include <string>

// Where a tool finds the files that ship with it, from its own folder alone: beside itself
// in the build tree, or, installed, under the same prefix (the plugin in
// <bindir>/../lib/<multiarch>/wacky-throats/, the sample in <bindir>/../share/wacky-throats/,
// both relative paths fixed by the build's install layout). Nothing is configured, so an
// installed tree works from any folder it is unpacked to. [any thread]
namespace wt::session {

// The plugin library beside the tool if it is there, else the installed one if that is
// there, else the one beside the tool (for the message that it is missing).
std::string defaultPluginPath(const std::string& toolDirectory);

// The bundled voice sample, chosen the same way.
std::string bundledSamplePath(const std::string& toolDirectory);

}  // namespace wt::session

// "enablemenu": enables or disables one of the plugin's menu items.

#include "diagnostics/command_number.h"
#include "diagnostics/command_support.h"
#include "diagnostics/subcommands.h"
#include "host/host.h"

namespace wt::diagnostics {

void runEnableMenu(uint64_t /*handler*/, const char* menu, const char* enabled) {
    if (menu == nullptr) {
        host::printMessageToCurrentTab("Usage is: /test enablemenu <menuID> <0|1>");
        return;
    }
    const PluginIdUse pluginId;
    if (!registeredOrReport(pluginId, "change plugin menu item")) return;
    // The enable value goes to the client as read, not reduced to 0 or 1.
    const int enable = enabled != nullptr ? readInt32(enabled) : 0;
    host::setPluginMenuEnabled(pluginId.text(), readInt32(menu), enable);
}

}  // namespace wt::diagnostics

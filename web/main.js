// The page: a host for the plugin like the chat client. It loads the module, answers the
// plugin's start-up queries with its own load of the plugin, and wires the panels to it
// and to one another: the menu (menu_panel.js), the live voice (live_panel.js) and sound
// files (file_panel.js), whose work the render worker (render_worker.js) does.

import { logLine } from "./console_panel.js";
import { createFilePanel } from "./file_panel.js";
import { checkLiveSupport, createLivePanel } from "./live_panel.js";
import { createMenuPanel } from "./menu_panel.js";
import { showMessage } from "./messages.js";
import { $ } from "./page_controls.js";
import { loadPlugin, webAssemblyAvailable } from "./plugin_module.js";
import { PluginSession } from "./plugin_session.js";
import { RenderWorker } from "./render_client.js";

// Topics: wasm, boot.
const message = (topic, text) => showMessage("messages", topic, text);

async function boot() {
    if (!webAssemblyAvailable()) {
        message("wasm", "This browser cannot run WebAssembly, which the plugin is compiled to. " +
                        "Any current Chrome, Edge, Firefox or Safari can.");
        return;
    }
    checkLiveSupport();
    let plugin;
    try {
        plugin = await loadPlugin(document.baseURI);
    } catch (error) {
        message("wasm", `The plugin module could not be loaded: ${error.message}`);
        return;
    }
    $("engine").textContent = plugin.variant === "simd" ? "WebAssembly with SIMD" : "WebAssembly without SIMD";
    // The texts of the plugin's path queries, as a client answers them.
    const paths = () => ({
        getAppPath: location.href,
        getResourcesPath: new URL(".", document.baseURI).href,
        getConfigPath: "",
        getPluginPath: new URL(plugin.layout.file, document.baseURI).href,
    });
    const worker = new RenderWorker(plugin.module, plugin.layout);
    const control = await PluginSession.open(plugin.module, plugin.layout, { onLine: logLine, paths: paths() });

    const menu = createMenuPanel({ plugin, control, onPress: (id) => pressed(id) });
    const live = createLivePanel({ plugin, worker, paths, menu });
    const files = createFilePanel({ worker, menu, onOpened: () => live.scheduleTiming() });
    function pressed(id) {
        live.press(id);
        files.settingChanged();
    }

    await menu.start();
    live.wire();
    files.wire();
    await files.openBundled();
    live.scheduleTiming();
    document.body.dataset.ready = "true";
}

boot().catch((error) => message("boot", `The page failed to start: ${error?.message ?? error}`));

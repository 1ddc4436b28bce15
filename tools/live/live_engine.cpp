#include "tools/live/live_engine.h"

#include <pipewire/extensions/metadata.h>
#include <pipewire/pipewire.h>
#include <spa/debug/types.h>
#include <spa/param/audio/format-utils.h>
#include <spa/param/audio/type-info.h>
#include <spa/pod/builder.h>
#include <spa/utils/result.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <list>

#include "tools/live/graph_model.h"
#include "tools/live/live_options.h"
#include "tools/live/live_streams.h"
#include "tools/session/exit_codes.h"

namespace wt::live {

namespace {

using session::ExitCode;
using session::ToolError;
using Clock = std::chrono::steady_clock;

// How long the first answer of a server may take at start.
constexpr auto kServerPatience = std::chrono::seconds(10);
// Reconnection: the first retry soon, then doubling up to a few seconds: quick when the
// server restarts, nearly idle when it stays away.
constexpr int kFirstRetryMs = 200;
constexpr int kLongestRetryMs = 3000;
// A session manager restarting is gone for a moment; only a longer absence is told.
constexpr int kSessionManagerGraceMs = 3000;
// A link the server refuses this often is not asked for again until the graph changes.
constexpr int kLinkAttempts = 3;
constexpr size_t kPodBufferSize = 1024;

std::string propertyOf(const spa_dict* props, const char* key) {
    const char* value = props != nullptr ? spa_dict_lookup(props, key) : nullptr;
    return value != nullptr ? value : "";
}

uint32_t idProperty(const spa_dict* props, const char* key) {
    const std::string text = propertyOf(props, key);
    return text.empty() ? SPA_ID_INVALID
                        : static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

struct LiveEngine::State {
    State(VoicePipe& pipe, EngineSettings settings, EngineEvents events)
        : settings(std::move(settings)), events(std::move(events)), cycle(pipe) {}

    ~State();

    EngineSettings settings;
    EngineEvents events;
    DataCycle cycle;
    EngineState state = EngineState::Connecting;
    std::string failure;
    bool started = false;  // start() was called: publish whenever connected
    bool everConnected = false;
    bool quitting = false;  // quit() came, perhaps before run()

    pw_main_loop* mainLoop = nullptr;
    pw_loop* loop = nullptr;
    pw_context* context = nullptr;
    spa_source* retryTimer = nullptr;
    int retryMs = kFirstRetryMs;
    spa_source* graceTimer = nullptr;
    spa_source* statusTimer = nullptr;
    spa_source* input = nullptr;
    std::function<void()> every;
    std::function<bool()> onInput;

    // One server connection; all of it goes when the connection does.
    pw_core* core = nullptr;
    spa_hook coreListener{};
    pw_registry* registry = nullptr;
    spa_hook registryListener{};
    pw_metadata* metadata = nullptr;  // the session manager's "default"
    uint32_t metadataId = SPA_ID_INVALID;
    spa_hook metadataListener{};
    int syncSeq = 0;
    bool synced = false;
    bool lost = false;  // the server went away; torn down on the next turn of the loop
    GraphModel model;
    std::string defaultSource, defaultSink;
    bool sessionManagerTold = false;
    std::unique_ptr<LiveStreams> streams;
    pw_proxy* captureNode = nullptr;  // bound to set the capture's port layout
    std::vector<std::string> askedLayout;

    struct OwnLink {
        State* state;
        LinkPlan plan;
        pw_proxy* proxy = nullptr;
        spa_hook listener{};
        uint32_t id = SPA_ID_INVALID;
        bool refused = false;
    };

    std::list<OwnLink> links;  // stable addresses: the proxies' listeners point into it
    std::vector<std::pair<LinkPlan, int>> refusals;

    // What was said, so that each change is told once.
    std::string toldInput = "\x01";
    bool toldReady = false;
    bool toldMonitorLoop = false;
    bool toldOwnDefault = false;
    std::string previousInput;  // the last node captured, kept when the default turns ours
    std::string capturing;      // node.name captured now, empty when none

    void say(const std::string& line) {
        if (events.say) events.say(line);
    }

    void changed() {
        if (events.changed) events.changed();
    }

    void setState(EngineState next) {
        if (state == next) return;
        state = next;
        changed();
    }

    void fail(const std::string& why) {
        failure = why;
        setState(EngineState::Failed);
        if (events.stopRequested) events.stopRequested();
    }

    OwnNodes own() const {
        OwnNodes nodes;
        if (streams) {
            nodes.mic = streams->mic();
            nodes.capture = streams->capture();
            nodes.feed = streams->feed();
            nodes.monitor = streams->monitor();
        }
        return nodes;
    }

    bool connect();
    void disconnect();
    void scheduleRetry();
    void publish();
    void reconcile();
    void applyLinks(const std::vector<LinkPlan>& wanted);
    void layCapture(uint32_t input);
    template <typename Done>
    bool waitFor(Done done);
};

namespace {

using State = LiveEngine::State;

void onSignal(void* data, int) {
    State& s = *static_cast<State*>(data);
    if (s.events.stopRequested) s.events.stopRequested();
}

void onCoreDone(void* data, uint32_t id, int seq) {
    State& s = *static_cast<State*>(data);
    if (id != PW_ID_CORE || seq != s.syncSeq || s.synced) return;
    s.synced = true;
    // Connected; what the engine does next (publish, capture) moves it on from here.
    s.setState(EngineState::WaitingForInput);
    s.reconcile();
}

// Runs on the next turn of the loop: the connection cannot be torn down from within
// one of its own callbacks.
void onLost(void* data, uint64_t) {
    State& s = *static_cast<State*>(data);
    if (!s.lost) return;
    s.disconnect();
    s.scheduleRetry();
}

void onCoreError(void* data, uint32_t id, int, int res, const char* message) {
    State& s = *static_cast<State*>(data);
    if (id != PW_ID_CORE) return;
    if (res != -EPIPE) {
        s.say(std::string("the PipeWire server reports: ") + (message ? message : ""));
        return;
    }
    if (s.lost) return;
    s.lost = true;
    s.say("the PipeWire server went away; reconnecting (the plugin keeps its effect and strength)");
    s.setState(EngineState::Connecting);
    timespec soon{0, 1};
    pw_loop_update_timer(s.loop, s.retryTimer, &soon, nullptr, false);
}

const pw_core_events kCoreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.done = onCoreDone;
    events.error = onCoreError;
    return events;
}();

int onMetadataProperty(void* data, uint32_t subject, const char* key, const char*,
                       const char* value) {
    State& s = *static_cast<State*>(data);
    if (subject != PW_ID_CORE) return 0;
    if (key == nullptr) {
        s.defaultSource.clear();
        s.defaultSink.clear();
    } else if (std::strcmp(key, "default.audio.source") == 0) {
        s.defaultSource = defaultNodeName(value);
    } else if (std::strcmp(key, "default.audio.sink") == 0) {
        s.defaultSink = defaultNodeName(value);
    } else {
        return 0;
    }
    s.reconcile();
    return 0;
}

const pw_metadata_events kMetadataEvents = [] {
    pw_metadata_events events{};
    events.version = PW_VERSION_METADATA_EVENTS;
    events.property = onMetadataProperty;
    return events;
}();

void onGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
              const spa_dict* props) {
    State& s = *static_cast<State*>(data);
    if (std::strcmp(type, PW_TYPE_INTERFACE_Port) == 0) {
        const uint32_t node = idProperty(props, PW_KEY_NODE_ID);
        if (node != SPA_ID_INVALID)
            s.model.addPort({id, node, propertyOf(props, PW_KEY_PORT_DIRECTION) == "out",
                             propertyOf(props, PW_KEY_AUDIO_CHANNEL)});
    } else if (std::strcmp(type, PW_TYPE_INTERFACE_Link) == 0) {
        s.model.addLink({id, idProperty(props, PW_KEY_LINK_OUTPUT_PORT),
                         idProperty(props, PW_KEY_LINK_INPUT_PORT)});
    } else if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
        const std::string priority = propertyOf(props, PW_KEY_PRIORITY_SESSION);
        s.model.addNode(
            {id, propertyOf(props, PW_KEY_NODE_NAME), propertyOf(props, PW_KEY_NODE_DESCRIPTION),
             propertyOf(props, PW_KEY_MEDIA_CLASS)},
            priority.empty() ? 0 : std::atoi(priority.c_str()));
        s.changed();  // inputs() may have grown
    } else if (std::strcmp(type, PW_TYPE_INTERFACE_Metadata) == 0 &&
               propertyOf(props, PW_KEY_METADATA_NAME) == "default" && s.metadata == nullptr) {
        s.metadata = static_cast<pw_metadata*>(
            pw_registry_bind(s.registry, id, PW_TYPE_INTERFACE_Metadata, PW_VERSION_METADATA, 0));
        if (s.metadata != nullptr) {
            s.metadataId = id;
            pw_metadata_add_listener(s.metadata, &s.metadataListener, &kMetadataEvents, &s);
            if (s.sessionManagerTold) s.say("a session manager runs again");
            s.sessionManagerTold = false;
        }
    } else {
        return;
    }
    s.reconcile();
}

void onGlobalRemove(void* data, uint32_t id) {
    State& s = *static_cast<State*>(data);
    if (id == s.metadataId) {
        spa_hook_remove(&s.metadataListener);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(s.metadata));
        s.metadata = nullptr;
        s.metadataId = SPA_ID_INVALID;
        s.defaultSource.clear();
        s.defaultSink.clear();
        timespec grace{kSessionManagerGraceMs / 1000, 0};
        pw_loop_update_timer(s.loop, s.graceTimer, &grace, nullptr, false);
    }
    // One of our links removed by someone else: made again below, if still wanted.
    std::erase_if(s.links, [id](State::OwnLink& link) {
        if (link.id != id) return false;
        pw_proxy_destroy(link.proxy);
        return true;
    });
    if (s.streams && id == s.streams->mic() && !s.lost) {
        s.fail("the server removed the microphone node");
        return;
    }
    const bool node = s.model.node(id) != nullptr;
    s.model.remove(id);
    if (node) s.changed();  // inputs() may have shrunk
    s.reconcile();
}

const pw_registry_events kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = onGlobal;
    events.global_remove = onGlobalRemove;
    return events;
}();

void onLinkBound(void* data, uint32_t id) {
    auto& link = *static_cast<State::OwnLink*>(data);
    link.id = id;
    link.state->reconcile();
}

void onLinkError(void* data, int, int res, const char* message) {
    auto& link = *static_cast<State::OwnLink*>(data);
    link.refused = true;
    State& s = *link.state;
    auto found = std::find_if(s.refusals.begin(), s.refusals.end(),
                              [&](const auto& r) { return r.first == link.plan; });
    if (found == s.refusals.end()) found = s.refusals.insert(s.refusals.end(), {link.plan, 0});
    if (++found->second == kLinkAttempts)
        s.say(std::string("the server refuses a link of the voice's path: ") +
              (message != nullptr ? message : spa_strerror(res)));
}

const pw_proxy_events kLinkEvents = [] {
    pw_proxy_events events{};
    events.version = PW_VERSION_PROXY_EVENTS;
    events.bound = onLinkBound;
    events.error = onLinkError;
    return events;
}();

void onGraceOver(void* data, uint64_t) {
    State& s = *static_cast<State*>(data);
    if (s.metadata != nullptr || s.core == nullptr || s.sessionManagerTold) return;
    s.sessionManagerTold = true;
    s.say(
        "no session manager runs: PipeWire needs one to list the devices and choose the "
        "default microphone; start WirePlumber (Debian package wireplumber: systemctl "
        "--user start wireplumber)");
    s.reconcile();
}

void onRetry(void* data, uint64_t) {
    State& s = *static_cast<State*>(data);
    if (s.lost) {
        onLost(data, 0);
        return;
    }
    if (s.core != nullptr) return;
    if (s.connect()) {
        s.say("connected to the PipeWire server again");
        s.retryMs = kFirstRetryMs;
    } else {
        s.scheduleRetry();
    }
}

void onTimer(void* data, uint64_t) {
    State& s = *static_cast<State*>(data);
    if (s.every) s.every();
}

void onInputReady(void* data, int, uint32_t) {
    State& s = *static_cast<State*>(data);
    if (s.onInput() || s.input == nullptr) return;
    pw_loop_destroy_source(s.loop, s.input);
    s.input = nullptr;
}

}  // namespace

template <typename Done>
bool State::waitFor(Done done) {
    const auto deadline = Clock::now() + kServerPatience;
    pw_loop_enter(loop);
    while (!done() && !lost && state != EngineState::Failed && Clock::now() < deadline)
        pw_loop_iterate(loop, 100);
    pw_loop_leave(loop);
    return done();
}

bool State::connect() {
    core = pw_context_connect(context, nullptr, 0);
    if (core == nullptr) return false;
    everConnected = true;
    lost = false;
    synced = false;
    pw_core_add_listener(core, &coreListener, &kCoreEvents, this);
    registry = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
    pw_registry_add_listener(registry, &registryListener, &kRegistryEvents, this);
    syncSeq = pw_core_sync(core, PW_ID_CORE, 0);
    timespec grace{kSessionManagerGraceMs / 1000, 0};
    pw_loop_update_timer(loop, graceTimer, &grace, nullptr, false);
    return true;
}

void State::disconnect() {
    cycle.inputLinked.store(false, std::memory_order_relaxed);
    // Streams first: no process callback runs once they are gone.
    streams.reset();
    for (OwnLink& link : links) pw_proxy_destroy(link.proxy);
    links.clear();
    refusals.clear();
    if (captureNode != nullptr) pw_proxy_destroy(captureNode);
    captureNode = nullptr;
    askedLayout.clear();
    if (metadata != nullptr) pw_proxy_destroy(reinterpret_cast<pw_proxy*>(metadata));
    metadata = nullptr;
    metadataId = SPA_ID_INVALID;
    if (registry != nullptr) pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
    registry = nullptr;
    // Every object of ours is non-lingering: closing the connection removes it.
    if (core != nullptr) pw_core_disconnect(core);
    core = nullptr;
    model.clear();
    defaultSource.clear();
    defaultSink.clear();
    toldReady = false;
    toldInput = "\x01";
    capturing.clear();
    lost = false;
    synced = false;
}

void State::scheduleRetry() {
    setState(EngineState::Connecting);
    timespec after{retryMs / 1000, (retryMs % 1000) * 1000000L};
    pw_loop_update_timer(loop, retryTimer, &after, nullptr, false);
    retryMs = std::min(retryMs * 2, kLongestRetryMs);
}

void State::publish() {
    if (const GraphNode* other = model.nodeNamed(kMicName)) {
        (void)other;
        fail(std::string("a node named ") + kMicName +
             " exists already: is another wacky-live or Wacky Throats running?");
        return;
    }
    streams = std::make_unique<LiveStreams>(
        core, pw_context_get_data_loop(context), cycle, settings.quantum,
        LiveStreams::Callbacks{[this](const std::string& why) { fail(why); },
                               [this](const std::string& line) { say(line); },
                               [this] { reconcile(); }});
    std::string why;
    if (!streams->create(&why)) {
        fail(why);
        return;
    }
    streams->setMonitor(settings.monitor);
}

// The capture stream's ports take the layout of the node captured, as a session manager
// would set them: its converter then mixes the channels down to the plugin's mono.
void State::layCapture(uint32_t input) {
    const std::vector<std::string> wanted = model.channels(input, true);
    const uint32_t capture = streams->capture();
    const std::vector<std::string> now =
        capture == SPA_ID_INVALID ? std::vector<std::string>{} : model.channels(capture, false);
    if (wanted.empty() || now.empty() || wanted == askedLayout || wanted == now) return;
    if (captureNode == nullptr)
        captureNode = static_cast<pw_proxy*>(
            pw_registry_bind(registry, capture, PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, 0));
    if (captureNode == nullptr) return;
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_F32P;
    info.rate = kSampleRate;
    info.channels =
        std::min<uint32_t>(static_cast<uint32_t>(wanted.size()), SPA_AUDIO_MAX_CHANNELS);
    for (uint32_t i = 0; i < info.channels; ++i) {
        info.position[i] = SPA_AUDIO_CHANNEL_UNKNOWN;
        for (const spa_type_info* t = spa_type_audio_channel; t->name != nullptr; ++t)
            if (wanted[i] == spa_debug_type_short_name(t->name)) info.position[i] = t->type;
    }
    uint8_t podBuffer[kPodBufferSize];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(podBuffer, sizeof podBuffer);
    const spa_pod* format = spa_format_audio_raw_build(&b, SPA_PARAM_Format, &info);
    const auto* config = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamPortConfig, SPA_PARAM_PortConfig, SPA_PARAM_PORT_CONFIG_direction,
        SPA_POD_Id(SPA_DIRECTION_INPUT), SPA_PARAM_PORT_CONFIG_mode,
        SPA_POD_Id(SPA_PARAM_PORT_CONFIG_MODE_dsp), SPA_PARAM_PORT_CONFIG_format,
        SPA_POD_Pod(format)));
    pw_node_set_param(reinterpret_cast<pw_node*>(captureNode), SPA_PARAM_PortConfig, 0, config);
    askedLayout = wanted;
}

void State::applyLinks(const std::vector<LinkPlan>& wanted) {
    // Ours that are no longer wanted, or were refused, go.
    for (auto it = links.begin(); it != links.end();) {
        const bool keep =
            !it->refused && std::find(wanted.begin(), wanted.end(), it->plan) != wanted.end();
        if (keep) {
            ++it;
            continue;
        }
        pw_proxy_destroy(it->proxy);
        it = links.erase(it);
    }
    for (const LinkPlan& plan : wanted) {
        const bool have = std::any_of(links.begin(), links.end(),
                                      [&](const OwnLink& link) { return link.plan == plan; });
        const auto refused = std::find_if(refusals.begin(), refusals.end(),
                                          [&](const auto& r) { return r.first == plan; });
        if (have || (refused != refusals.end() && refused->second >= kLinkAttempts)) continue;
        pw_properties* props = pw_properties_new(PW_KEY_OBJECT_LINGER, "false", nullptr);
        pw_properties_setf(props, PW_KEY_LINK_OUTPUT_NODE, "%u", plan.outputNode);
        pw_properties_setf(props, PW_KEY_LINK_OUTPUT_PORT, "%u", plan.outputPort);
        pw_properties_setf(props, PW_KEY_LINK_INPUT_NODE, "%u", plan.inputNode);
        pw_properties_setf(props, PW_KEY_LINK_INPUT_PORT, "%u", plan.inputPort);
        auto* proxy = static_cast<pw_proxy*>(pw_core_create_object(
            core, "link-factory", PW_TYPE_INTERFACE_Link, PW_VERSION_LINK, &props->dict, 0));
        pw_properties_free(props);
        if (proxy == nullptr) continue;
        OwnLink& link = links.emplace_back();
        link.state = this;
        link.plan = plan;
        link.proxy = proxy;
        pw_proxy_add_listener(proxy, &link.listener, &kLinkEvents, &link);
    }
}

void State::reconcile() {
    if (core == nullptr || lost || !synced || state == EngineState::Failed) return;
    if (!started) return;
    if (!streams) {
        publish();
        if (!streams) return;
    }
    const OwnNodes nodes = own();
    const GraphNode* defaultNode = model.nodeNamed(defaultSource);
    const bool defaultIsOurs =
        settings.input.empty() && defaultNode != nullptr &&
        (defaultNode->name == kMicName || model.fedByUs(defaultNode->id, nodes));
    const std::optional<uint32_t> input =
        model.pickInput(settings.input, defaultSource, previousInput, nodes);
    const GraphNode* captured = input ? model.node(*input) : nullptr;
    if (captured != nullptr) {
        previousInput = captured->name;
        layCapture(*input);
    }
    if (defaultIsOurs && !toldOwnDefault)
        say(std::string("the default microphone is \"") + kMicDescription +
            "\" itself; capturing stays on " +
            (captured != nullptr ? captured->name : std::string("nothing until a source appears")));
    toldOwnDefault = defaultIsOurs;

    std::optional<uint32_t> sink;
    if (settings.monitor) {
        const GraphNode* out = model.nodeNamed(defaultSink);
        const bool loop = out != nullptr && input && out->id == *input;
        if (loop && !toldMonitorLoop)
            say("not playing the changed voice to " + out->name +
                ": its monitor is the input, which would make a loop");
        toldMonitorLoop = loop;
        if (out != nullptr && !loop) sink = out->id;
    }
    const std::vector<LinkPlan> wanted = model.plan(nodes, input, sink);
    applyLinks(wanted);

    // Where the voice comes from: linked once every captured channel is.
    const auto bound = [&](const LinkPlan& plan) {
        return std::any_of(links.begin(), links.end(), [&](const OwnLink& link) {
            return link.plan == plan && link.id != SPA_ID_INVALID;
        });
    };
    bool micLinked = false;
    bool inputLinked = captured != nullptr;
    bool anyCapture = false;
    for (const LinkPlan& plan : wanted) {
        if (plan.inputNode == nodes.mic) micLinked = bound(plan);
        if (plan.inputNode == nodes.capture) {
            anyCapture = true;
            inputLinked = inputLinked && bound(plan);
        }
    }
    inputLinked = inputLinked && anyCapture;
    cycle.inputLinked.store(inputLinked, std::memory_order_relaxed);
    const std::string now = inputLinked ? captured->name : "";
    if (now != capturing) {
        capturing = now;
        changed();
    }
    if (!micLinked) return;

    if (!toldReady) {
        say(std::string("ready: \"") + kMicDescription + "\" (" + kMicName + ") from " +
            (settings.input.empty() ? "the default source" : settings.input));
        toldReady = true;
    }
    if (now != toldInput && (inputLinked || captured == nullptr)) {
        if (!now.empty())
            say("capturing " + now +
                (captured->description.empty() ? "" : " (" + captured->description + ")"));
        else if (!settings.input.empty())
            say("waiting for " + settings.input + "; the microphone carries silence");
        else
            say("no source to capture; the microphone carries silence");
        toldInput = now;
    }
    if (inputLinked)
        setState(EngineState::Running);
    else if (metadata == nullptr && sessionManagerTold)
        setState(EngineState::NoSessionManager);
    else
        setState(EngineState::WaitingForInput);
}

// Also what a throwing constructor leaves: every member is null or valid.
State::~State() {
    disconnect();
    if (context != nullptr) pw_context_destroy(context);
    // With the loop go its sources: the signals, the timers, standard input.
    if (mainLoop != nullptr) pw_main_loop_destroy(mainLoop);
    pw_deinit();
}

LiveEngine::LiveEngine(VoicePipe& pipe, EngineSettings settings, EngineEvents events)
    : state_(std::make_unique<State>(pipe, std::move(settings), std::move(events))) {
    State& s = *state_;
    pw_init(nullptr, nullptr);
    s.mainLoop = pw_main_loop_new(nullptr);
    if (s.mainLoop == nullptr) throw ToolError{ExitCode::Unexpected, "cannot create a main loop"};
    s.loop = pw_main_loop_get_loop(s.mainLoop);
    // Before the context exists: its data thread then starts with both signals blocked,
    // so they reach this loop and end the front cleanly instead of killing it.
    pw_loop_add_signal(s.loop, SIGINT, onSignal, &s);
    pw_loop_add_signal(s.loop, SIGTERM, onSignal, &s);
    s.retryTimer = pw_loop_add_timer(s.loop, onRetry, &s);
    s.graceTimer = pw_loop_add_timer(s.loop, onGraceOver, &s);
    // client-rt.conf: the data thread asks for real-time priority where the system grants it.
    s.context =
        pw_context_new(s.loop, pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
    if (s.context == nullptr) s.context = pw_context_new(s.loop, nullptr, 0);
    if (s.context == nullptr) {
        // libpipewire finds no configuration of its own: PipeWire is not installed.
        s.state = EngineState::NoPipewire;
        return;
    }
    if (!s.connect()) {
        s.scheduleRetry();
        return;
    }
    if (!s.waitFor([&] { return s.synced; })) {
        s.disconnect();
        s.scheduleRetry();
    }
}

LiveEngine::~LiveEngine() = default;

void LiveEngine::start(bool inputMustExist) {
    State& s = *state_;
    if (inputMustExist && !s.settings.input.empty() && s.synced) {
        const GraphNode* node = s.model.nodeNamed(s.settings.input);
        if (node == nullptr || !capturable(node->mediaClass) || node->name == kMicName) {
            std::string found;
            for (const GraphNode& n : inputs()) found += (found.empty() ? "" : ", ") + n.name;
            throw ToolError{ExitCode::InputMissing,
                            "no source or sink named \"" + s.settings.input +
                                "\"; the server has: " + (found.empty() ? "none" : found)};
        }
    }
    s.started = true;
    s.reconcile();
}

EngineState LiveEngine::state() const {
    return state_->state;
}

const std::string& LiveEngine::failure() const {
    return state_->failure;
}

std::vector<GraphNode> LiveEngine::inputs() const {
    return state_->model.inputs(state_->own());
}

std::string LiveEngine::inputNode() const {
    return state_->capturing;
}

std::string LiveEngine::defaultSource() const {
    return state_->defaultSource;
}

void LiveEngine::setInput(const std::string& input) {
    state_->settings.input = input;
    state_->toldInput = "\x01";
    state_->reconcile();
}

void LiveEngine::setMonitor(bool on) {
    State& s = *state_;
    s.settings.monitor = on;
    if (s.streams) s.streams->setMonitor(on);
    s.reconcile();
}

const EngineSettings& LiveEngine::settings() const {
    return state_->settings;
}

void LiveEngine::run(const std::function<void()>& every, int periodMs,
                     const std::function<bool()>& onInput) {
    State& s = *state_;
    if (s.quitting) return;
    s.every = every;
    s.onInput = onInput;
    s.statusTimer = pw_loop_add_timer(s.loop, onTimer, &s);
    timespec period{periodMs / 1000, (periodMs % 1000) * 1000000L};
    pw_loop_update_timer(s.loop, s.statusTimer, &period, &period, false);
    if (onInput) {
        s.input =
            pw_loop_add_io(s.loop, STDIN_FILENO, SPA_IO_IN | SPA_IO_HUP, false, onInputReady, &s);
        // A regular file cannot be polled: read it whole now, as if it had arrived.
        if (s.input == nullptr)
            while (!s.quitting && onInput()) {
            }
    }
    if (!s.quitting) pw_main_loop_run(s.mainLoop);
}

void LiveEngine::quit() {
    state_->quitting = true;
    pw_main_loop_quit(state_->mainLoop);
}

int LiveEngine::fd() const {
    return pw_loop_get_fd(state_->loop);
}

void LiveEngine::dispatch() {
    pw_loop_enter(state_->loop);
    pw_loop_iterate(state_->loop, 0);
    pw_loop_leave(state_->loop);
}

std::string describe(EngineState state, const LiveEngine& engine) {
    switch (state) {
        case EngineState::NoPipewire:
            return "PipeWire is not installed: install it (Debian and Ubuntu: sudo apt install "
                   "pipewire pipewire-pulse wireplumber), then log in again";
        case EngineState::Connecting:
            return "no PipeWire server answers; trying again (start it: systemctl --user start "
                   "pipewire wireplumber)";
        case EngineState::NoSessionManager:
            return "no session manager runs; start WirePlumber (systemctl --user start "
                   "wireplumber)";
        case EngineState::WaitingForInput:
            return engine.settings().input.empty()
                       ? std::string("waiting for a microphone to capture")
                       : "waiting for " + engine.settings().input;
        case EngineState::Running:
            return std::string("ready: pick \"") + kMicDescription + "\" in your application";
        case EngineState::Failed:
            return engine.failure();
    }
    return "";
}

}  // namespace wt::live

#include "tools/live/pipewire_graph.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/param/props.h>
#include <spa/pod/builder.h>
#include <spa/utils/result.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "tools/live/live_options.h"
#include "tools/session/exit_codes.h"

namespace wt::live {

namespace {

using session::ExitCode;
using session::ToolError;

using Clock = std::chrono::steady_clock;
// How long the server may take to create, connect or link one of our objects.
constexpr auto kServerPatience = std::chrono::seconds(10);
constexpr size_t kPodBufferSize = 1024;

std::string propertyOf(const spa_dict* props, const char* key) {
    const char* value = props != nullptr ? spa_dict_lookup(props, key) : nullptr;
    return value != nullptr ? value : "";
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// What keeps our path bit-exact, on both streams: the format the plugin speaks, and every
// conversion the stream's own converter could add switched off explicitly, since a
// user's configuration can change the defaults.
void setExactPath(pw_properties* props, int quantum) {
    pw_properties_setf(props, PW_KEY_NODE_LATENCY, "%d/%d", quantum, kSampleRate);
    pw_properties_setf(props, PW_KEY_NODE_RATE, "1/%d", kSampleRate);
    pw_properties_set(props, "resample.disable", "true");
    pw_properties_set(props, "dither.method", "none");
    pw_properties_set(props, "dither.noise", "0");
    // Honoured only where the session manager reads it as a boolean; the control guard
    // below holds the volume at 1.0 whatever is restored.
    pw_properties_set(props, "state.restore-props", "false");
}

const spa_pod* monoS16Format(spa_pod_builder* builder) {
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16_LE;
    info.rate = kSampleRate;
    info.channels = 1;
    info.position[0] = SPA_AUDIO_CHANNEL_MONO;
    return spa_format_audio_raw_build(builder, SPA_PARAM_EnumFormat, &info);
}

}  // namespace

struct PipewireGraph::State {
    State(int* argc, char*** argv) { pw_init(argc, argv); }

    ~State();
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    pw_main_loop* mainLoop = nullptr;
    pw_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_registry* registry = nullptr;
    spa_hook coreListener{};
    spa_hook registryListener{};
    std::vector<GraphNode> nodes;

    struct Port {
        uint32_t id;
        uint32_t node;
        bool output;
    };

    std::vector<Port> ports;
    int syncSeq = 0;
    bool synced = false;
    bool stopping = false;  // a signal or quit() arrived
    std::string failure;

    pw_stream* capture = nullptr;
    pw_stream* feed = nullptr;
    pw_stream* monitor = nullptr;
    spa_hook captureListener{};
    spa_hook feedListener{};
    spa_hook monitorListener{};
    pw_stream_state feedState = PW_STREAM_STATE_UNCONNECTED;
    pw_proxy* mic = nullptr;
    spa_hook micListener{};
    uint32_t micId = SPA_ID_INVALID;
    pw_proxy* link = nullptr;
    spa_hook linkListener{};
    uint32_t linkId = SPA_ID_INVALID;
    bool volumeWarned = false;

    VoicePipe* pipe = nullptr;
    spa_io_position* position = nullptr;  // the capture stream's clock; data thread only

    spa_source* timer = nullptr;
    spa_source* input = nullptr;
    std::function<void()> every;
    std::function<bool()> onInput;

    void fail(const std::string& message) {
        if (failure.empty()) failure = message;
        stopping = true;
        if (mainLoop != nullptr) pw_main_loop_quit(mainLoop);
    }

    // Iterates the loop until `done` holds, a failure or a signal, or the patience ends.
    template <typename Done>
    bool waitFor(Done done) {
        const auto deadline = Clock::now() + kServerPatience;
        pw_loop_enter(loop);
        while (!done() && !stopping && Clock::now() < deadline) pw_loop_iterate(loop, 100);
        pw_loop_leave(loop);
        return done();
    }

    // The global ID of the first port of `node` in that direction, or SPA_ID_INVALID.
    uint32_t portOf(uint32_t node, bool output) const {
        for (const Port& port : ports)
            if (port.node == node && port.output == output) return port.id;
        return SPA_ID_INVALID;
    }

    void roundtrip() {
        synced = false;
        syncSeq = pw_core_sync(core, PW_ID_CORE, syncSeq);
        waitFor([this] { return synced; });
    }
};

namespace {

using State = PipewireGraph::State;

void onSignal(void* data, int) {
    static_cast<State*>(data)->stopping = true;
    pw_main_loop_quit(static_cast<State*>(data)->mainLoop);
}

void onCoreDone(void* data, uint32_t id, int seq) {
    State& s = *static_cast<State*>(data);
    if (id == PW_ID_CORE && seq == s.syncSeq) s.synced = true;
}

void onCoreError(void* data, uint32_t id, int, int res, const char* message) {
    State& s = *static_cast<State*>(data);
    if (id == PW_ID_CORE && res == -EPIPE)
        s.fail("the PipeWire server went away");
    else if (id == PW_ID_CORE)
        s.fail(std::string("the PipeWire server reports: ") + (message ? message : ""));
}

const pw_core_events kCoreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.done = onCoreDone;
    events.error = onCoreError;
    return events;
}();

void onGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
              const spa_dict* props) {
    State& s = *static_cast<State*>(data);
    if (std::strcmp(type, PW_TYPE_INTERFACE_Port) == 0) {
        const std::string node = propertyOf(props, PW_KEY_NODE_ID);
        if (!node.empty())
            s.ports.push_back({id, static_cast<uint32_t>(std::strtoul(node.c_str(), nullptr, 10)),
                               propertyOf(props, PW_KEY_PORT_DIRECTION) == "out"});
        return;
    }
    if (std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0) return;
    s.nodes.push_back({id, propertyOf(props, PW_KEY_NODE_NAME),
                       propertyOf(props, PW_KEY_NODE_DESCRIPTION),
                       propertyOf(props, PW_KEY_MEDIA_CLASS)});
}

void onGlobalRemove(void* data, uint32_t id) {
    State& s = *static_cast<State*>(data);
    std::erase_if(s.nodes, [id](const GraphNode& node) { return node.id == id; });
    std::erase_if(s.ports, [id](const State::Port& port) { return port.id == id; });
    if (id == s.micId && !s.stopping) s.fail("the server removed the microphone node");
}

const pw_registry_events kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = onGlobal;
    events.global_remove = onGlobalRemove;
    return events;
}();

void onMicBound(void* data, uint32_t id) {
    static_cast<State*>(data)->micId = id;
}

void onLinkBound(void* data, uint32_t id) {
    static_cast<State*>(data)->linkId = id;
}

void onMicError(void* data, int, int res, const char* message) {
    static_cast<State*>(data)->fail(std::string("the server refused the microphone node: ") +
                                    (message ? message : spa_strerror(res)));
}

void onLinkError(void* data, int, int res, const char* message) {
    static_cast<State*>(data)->fail(std::string("the server refused the link to the microphone: ") +
                                    (message ? message : spa_strerror(res)));
}

const pw_proxy_events kMicEvents = [] {
    pw_proxy_events events{};
    events.version = PW_VERSION_PROXY_EVENTS;
    events.bound = onMicBound;
    events.error = onMicError;
    return events;
}();

const pw_proxy_events kLinkEvents = [] {
    pw_proxy_events events{};
    events.version = PW_VERSION_PROXY_EVENTS;
    events.bound = onLinkBound;
    events.error = onLinkError;
    return events;
}();

// [main thread] A session manager may restore a saved volume or mute onto a stream; any
// gain on the path would change the samples, so it is set back to 1.0, unmuted.
void holdUnityGain(State& s, pw_stream* stream, uint32_t id, const pw_stream_control* control) {
    bool unity = true;
    if (id == SPA_PROP_volume || id == SPA_PROP_channelVolumes)
        for (uint32_t i = 0; i < control->n_values; ++i)
            unity = unity && control->values[i] == 1.0f;
    else if (id == SPA_PROP_mute)
        unity = control->n_values == 0 || control->values[0] == 0.0f;
    else
        return;
    if (unity) return;
    float one = 1.0f;
    float zero = 0.0f;
    pw_stream_set_control(stream, SPA_PROP_volume, 1, &one, SPA_PROP_mute, 1, &zero,
                          SPA_PROP_channelVolumes, 1, &one, 0);
    if (!s.volumeWarned)
        std::fprintf(stderr,
                     "wacky-live: the session set a volume or mute on %s; held at 1.0, unmuted, "
                     "so the samples pass unchanged\n",
                     pw_stream_get_name(stream));
    s.volumeWarned = true;
}

void onCaptureControl(void* data, uint32_t id, const pw_stream_control* control) {
    State& s = *static_cast<State*>(data);
    holdUnityGain(s, s.capture, id, control);
}

void onFeedControl(void* data, uint32_t id, const pw_stream_control* control) {
    State& s = *static_cast<State*>(data);
    holdUnityGain(s, s.feed, id, control);
}

void onFeedState(void* data, pw_stream_state, pw_stream_state state, const char* error) {
    State& s = *static_cast<State*>(data);
    s.feedState = state;
    if (state == PW_STREAM_STATE_ERROR)
        s.fail(std::string("the voice stream failed: ") + (error ? error : ""));
}

void onCaptureState(void* data, pw_stream_state, pw_stream_state state, const char* error) {
    if (state == PW_STREAM_STATE_ERROR)
        static_cast<State*>(data)->fail(std::string("the capture stream failed: ") +
                                        (error ? error : ""));
}

void onMonitorState(void* data, pw_stream_state, pw_stream_state state, const char* error) {
    if (state == PW_STREAM_STATE_ERROR)
        static_cast<State*>(data)->fail(std::string("the monitor stream failed: ") +
                                        (error ? error : ""));
}

void onCaptureIo(void* data, uint32_t id, void* area, uint32_t) {
    if (id == SPA_IO_Position)
        static_cast<State*>(data)->position = static_cast<spa_io_position*>(area);
}

// [audio thread] The captured cycle has arrived: the feed, which the graph does not
// schedule by itself, runs now, in this cycle.
void onCaptureProcess(void* data) {
    State& s = *static_cast<State*>(data);
    if (const spa_io_position* position = s.position)
        s.pipe->clock(position->clock.duration, position->clock.rate.denom);
    pw_stream_trigger_process(s.feed);
}

int16_t* samplesOf(pw_buffer* buffer, uint32_t* frames) {
    spa_data& data = buffer->buffer->datas[0];
    if (data.data == nullptr || data.chunk == nullptr) {
        *frames = 0;
        return nullptr;
    }
    const uint32_t offset = std::min(data.chunk->offset, data.maxsize);
    *frames = std::min(data.chunk->size, data.maxsize - offset) / sizeof(int16_t);
    return static_cast<int16_t*>(SPA_PTROFF(data.data, offset, void));
}

void setChunk(pw_buffer* buffer, uint32_t frames) {
    spa_data& data = buffer->buffer->datas[0];
    data.chunk->offset = 0;
    data.chunk->stride = sizeof(int16_t);
    data.chunk->size = frames * sizeof(int16_t);
}

uint32_t capacityOf(pw_buffer* buffer) {
    const spa_data& data = buffer->buffer->datas[0];
    return data.data == nullptr ? 0 : data.maxsize / sizeof(int16_t);
}

// [audio thread] One captured buffer through the plugin into the feed's buffer (and the
// monitor's). A missing buffer on either side loses the cycle: counted, never patched
// with made-up samples in the middle of the voice.
void onFeedProcess(void* data) {
    State& s = *static_cast<State*>(data);
    // A cycle whose trigger did not run the feed leaves its captured buffer queued; taking
    // the oldest would add a cycle of delay each time. The newest is this cycle's: older
    // ones go back to the capture stream, each a lost cycle.
    pw_buffer* in = pw_stream_dequeue_buffer(s.capture);
    while (in != nullptr) {
        pw_buffer* newer = pw_stream_dequeue_buffer(s.capture);
        if (newer == nullptr) break;
        pw_stream_queue_buffer(s.capture, in);
        s.pipe->drop();
        in = newer;
    }
    pw_buffer* out = pw_stream_dequeue_buffer(s.feed);
    uint32_t frames = 0;
    const int16_t* captured = in != nullptr ? samplesOf(in, &frames) : nullptr;
    if (in == nullptr || out == nullptr || captured == nullptr || frames > capacityOf(out)) {
        s.pipe->drop();
        frames = 0;
    } else {
        int16_t* voice = static_cast<int16_t*>(out->buffer->datas[0].data);
        s.pipe->cycle(captured, voice, static_cast<int>(frames));
        if (s.monitor != nullptr) {
            if (pw_buffer* heard = pw_stream_dequeue_buffer(s.monitor)) {
                const uint32_t copied = std::min(frames, capacityOf(heard));
                if (copied > 0)
                    std::memcpy(heard->buffer->datas[0].data, voice, copied * sizeof(int16_t));
                setChunk(heard, copied);
                pw_stream_queue_buffer(s.monitor, heard);
            }
        }
    }
    if (out != nullptr) {
        setChunk(out, frames);
        pw_stream_queue_buffer(s.feed, out);
    }
    if (in != nullptr) pw_stream_queue_buffer(s.capture, in);
}

const pw_stream_events kCaptureEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onCaptureState;
    events.control_info = onCaptureControl;
    events.io_changed = onCaptureIo;
    events.process = onCaptureProcess;
    return events;
}();

const pw_stream_events kFeedEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onFeedState;
    events.control_info = onFeedControl;
    events.process = onFeedProcess;
    return events;
}();

const pw_stream_events kMonitorEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onMonitorState;
    return events;
}();

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

// Also what a throwing constructor leaves: every member is null or valid.
PipewireGraph::State::~State() {
    stopping = true;
    // Streams first, so no process callback runs once the pipe and the plugin go.
    for (pw_stream* stream : {capture, feed, monitor})
        if (stream != nullptr) pw_stream_destroy(stream);
    if (link != nullptr) pw_proxy_destroy(link);
    if (mic != nullptr) pw_proxy_destroy(mic);
    if (registry != nullptr) pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
    // Every object of ours is non-lingering: closing the connection removes it.
    if (core != nullptr) pw_core_disconnect(core);
    if (context != nullptr) pw_context_destroy(context);
    // With the loop go its sources: the signals, the timer, standard input.
    if (mainLoop != nullptr) pw_main_loop_destroy(mainLoop);
    pw_deinit();
}

PipewireGraph::PipewireGraph(int argc, char** argv)
    : state_(std::make_unique<State>(&argc, &argv)) {
    State& s = *state_;
    s.mainLoop = pw_main_loop_new(nullptr);
    if (s.mainLoop == nullptr) throw ToolError{ExitCode::Unexpected, "cannot create a main loop"};
    s.loop = pw_main_loop_get_loop(s.mainLoop);
    // Before the context exists: its data thread then starts with both signals blocked,
    // so they reach this loop and end the tool cleanly instead of killing it.
    pw_loop_add_signal(s.loop, SIGINT, onSignal, &s);
    pw_loop_add_signal(s.loop, SIGTERM, onSignal, &s);
    // client-rt.conf: the data thread asks for real-time priority where the system grants it.
    s.context =
        pw_context_new(s.loop, pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
    // Without the server's client files installed, the library's defaults still connect.
    if (s.context == nullptr) s.context = pw_context_new(s.loop, nullptr, 0);
    if (s.context == nullptr)
        throw ToolError{ExitCode::Unexpected,
                        std::string("cannot create a PipeWire context: ") + std::strerror(errno)};
    s.core = pw_context_connect(s.context, nullptr, 0);
    if (s.core == nullptr)
        throw ToolError{ExitCode::NoAudioServer,
                        "no PipeWire server reachable (its socket is looked for in "
                        "PIPEWIRE_RUNTIME_DIR or XDG_RUNTIME_DIR); start one, e.g. systemctl "
                        "--user start pipewire wireplumber"};
    pw_core_add_listener(s.core, &s.coreListener, &kCoreEvents, &s);
    s.registry = pw_core_get_registry(s.core, PW_VERSION_REGISTRY, 0);
    pw_registry_add_listener(s.registry, &s.registryListener, &kRegistryEvents, &s);
    s.roundtrip();
    if (!s.synced && !s.stopping)
        throw ToolError{ExitCode::NoAudioServer,
                        "the PipeWire server does not answer; restart it, e.g. systemctl "
                        "--user restart pipewire wireplumber"};
}

PipewireGraph::~PipewireGraph() = default;

std::vector<GraphNode> PipewireGraph::inputs() const {
    std::vector<GraphNode> found;
    for (const GraphNode& node : state_->nodes)
        if ((startsWith(node.mediaClass, "Audio/Source") ||
             startsWith(node.mediaClass, "Audio/Sink")) &&
            node.name != kMicName)
            found.push_back(node);
    return found;
}

bool PipewireGraph::hasNode(const std::string& name) const {
    return std::any_of(state_->nodes.begin(), state_->nodes.end(),
                       [&](const GraphNode& node) { return node.name == name; });
}

const std::string& PipewireGraph::failure() const {
    return state_->failure;
}

void PipewireGraph::start(VoicePipe& pipe, const std::string& input, int quantum, bool monitor) {
    State& s = *state_;
    s.pipe = &pipe;
    bool captureSink = false;
    if (!input.empty()) {
        const auto node = std::find_if(s.nodes.begin(), s.nodes.end(),
                                       [&](const GraphNode& n) { return n.name == input; });
        const bool audio = node != s.nodes.end() && (startsWith(node->mediaClass, "Audio/Source") ||
                                                     startsWith(node->mediaClass, "Audio/Sink"));
        if (!audio || input == kMicName) {
            std::string found;
            for (const GraphNode& n : inputs()) found += (found.empty() ? "" : ", ") + n.name;
            throw ToolError{ExitCode::InputMissing,
                            "no source or sink named \"" + input +
                                "\"; the server has: " + (found.empty() ? "none" : found)};
        }
        captureSink = startsWith(node->mediaClass, "Audio/Sink");
    }
    const std::string group = "wacky-throats-" + std::to_string(getpid());

    pw_properties* micProps = pw_properties_new(
        "factory.name", "support.null-audio-sink", PW_KEY_NODE_NAME, kMicName,
        PW_KEY_NODE_DESCRIPTION, kMicDescription, PW_KEY_MEDIA_CLASS, "Audio/Source/Virtual",
        "audio.position", "[ MONO ]", PW_KEY_OBJECT_LINGER, "false", PW_KEY_NODE_GROUP,
        group.c_str(), "monitor.channel-volumes", "false", "dither.method", "none", "dither.noise",
        "0", "resample.disable", "true", nullptr);
    pw_properties_setf(micProps, "audio.rate", "%d", kSampleRate);
    pw_properties_set(micProps, "audio.channels", "1");
    s.mic = static_cast<pw_proxy*>(pw_core_create_object(s.core, "adapter", PW_TYPE_INTERFACE_Node,
                                                         PW_VERSION_NODE, &micProps->dict, 0));
    pw_properties_free(micProps);
    if (s.mic == nullptr)
        throw ToolError{ExitCode::Unexpected, "cannot ask the server for the microphone node"};
    pw_proxy_add_listener(s.mic, &s.micListener, &kMicEvents, &s);

    uint8_t podBuffer[kPodBufferSize];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBuffer, sizeof podBuffer);
    const spa_pod* format = monoS16Format(&builder);

    pw_properties* feedProps = pw_properties_new(
        PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_NODE_NAME,
        "wacky-throats-voice", PW_KEY_NODE_DESCRIPTION, "Wacky Throats voice",
        PW_KEY_NODE_AUTOCONNECT, "false", PW_KEY_NODE_GROUP, group.c_str(), nullptr);
    setExactPath(feedProps, quantum);
    // Mono into a mono microphone: nothing to mix. (The capture side may mix a stereo
    // microphone down, as the client does; the monitor may spread to a stereo output.)
    pw_properties_set(feedProps, "channelmix.disable", "true");
    s.feed = pw_stream_new(s.core, "Wacky Throats voice", feedProps);
    pw_properties* captureProps = pw_properties_new(
        PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_NODE_NAME,
        "wacky-throats-capture", PW_KEY_NODE_DESCRIPTION, "Wacky Throats capture",
        PW_KEY_NODE_GROUP, group.c_str(), "monitor.channel-volumes", "false", nullptr);
    setExactPath(captureProps, quantum);
    if (!input.empty()) pw_properties_set(captureProps, PW_KEY_TARGET_OBJECT, input.c_str());
    if (captureSink) pw_properties_set(captureProps, PW_KEY_STREAM_CAPTURE_SINK, "true");
    s.capture = pw_stream_new(s.core, "Wacky Throats capture", captureProps);
    if (s.feed == nullptr || s.capture == nullptr)
        throw ToolError{ExitCode::Unexpected, "cannot create the PipeWire streams"};
    pw_stream_add_listener(s.feed, &s.feedListener, &kFeedEvents, &s);
    pw_stream_add_listener(s.capture, &s.captureListener, &kCaptureEvents, &s);

    const pw_stream_flags common =
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
    const spa_pod* params[1] = {format};
    if (pw_stream_connect(s.feed, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                          static_cast<pw_stream_flags>(common | PW_STREAM_FLAG_TRIGGER), params,
                          1) < 0)
        throw ToolError{ExitCode::Unexpected, "cannot connect the voice stream"};
    if (!s.waitFor([&] {
            return s.micId != SPA_ID_INVALID && s.feedState == PW_STREAM_STATE_PAUSED &&
                   pw_stream_get_node_id(s.feed) != SPA_ID_INVALID;
        })) {
        if (s.stopping && s.failure.empty()) return;  // a signal: run() returns at once
        throw ToolError{ExitCode::Unexpected,
                        s.failure.empty() ? "the server did not create the microphone" : s.failure};
    }

    // Both nodes' ports, as the registry lists them: the link factory links ports.
    const uint32_t feedNode = pw_stream_get_node_id(s.feed);
    const auto portsListed = [&] {
        return s.portOf(feedNode, true) != SPA_ID_INVALID &&
               s.portOf(s.micId, false) != SPA_ID_INVALID;
    };
    for (const auto deadline = Clock::now() + kServerPatience;
         !portsListed() && !s.stopping && Clock::now() < deadline;)
        s.roundtrip();
    if (!portsListed()) {
        if (s.stopping && s.failure.empty()) return;
        throw ToolError{ExitCode::Unexpected, s.failure.empty()
                                                  ? "the server listed no ports for the microphone"
                                                  : s.failure};
    }
    pw_properties* linkProps = pw_properties_new(PW_KEY_OBJECT_LINGER, "false", nullptr);
    pw_properties_setf(linkProps, PW_KEY_LINK_OUTPUT_NODE, "%u", feedNode);
    pw_properties_setf(linkProps, PW_KEY_LINK_OUTPUT_PORT, "%u", s.portOf(feedNode, true));
    pw_properties_setf(linkProps, PW_KEY_LINK_INPUT_NODE, "%u", s.micId);
    pw_properties_setf(linkProps, PW_KEY_LINK_INPUT_PORT, "%u", s.portOf(s.micId, false));
    s.link = static_cast<pw_proxy*>(pw_core_create_object(
        s.core, "link-factory", PW_TYPE_INTERFACE_Link, PW_VERSION_LINK, &linkProps->dict, 0));
    pw_properties_free(linkProps);
    if (s.link == nullptr)
        throw ToolError{ExitCode::Unexpected, "cannot ask the server for the microphone link"};
    pw_proxy_add_listener(s.link, &s.linkListener, &kLinkEvents, &s);
    if (!s.waitFor([&] { return s.linkId != SPA_ID_INVALID; })) {
        if (s.stopping && s.failure.empty()) return;
        throw ToolError{ExitCode::Unexpected,
                        s.failure.empty() ? "the server did not link the microphone" : s.failure};
    }

    if (monitor) {
        pw_properties* monitorProps = pw_properties_new(
            PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE,
            "Communication", PW_KEY_NODE_NAME, "wacky-throats-monitor", PW_KEY_NODE_DESCRIPTION,
            "Wacky Throats monitor", PW_KEY_NODE_GROUP, group.c_str(), nullptr);
        setExactPath(monitorProps, quantum);
        s.monitor = pw_stream_new(s.core, "Wacky Throats monitor", monitorProps);
        if (s.monitor == nullptr)
            throw ToolError{ExitCode::Unexpected, "cannot create the monitor stream"};
        pw_stream_add_listener(s.monitor, &s.monitorListener, &kMonitorEvents, &s);
        if (pw_stream_connect(s.monitor, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                              static_cast<pw_stream_flags>(common | PW_STREAM_FLAG_AUTOCONNECT),
                              params, 1) < 0)
            throw ToolError{ExitCode::Unexpected, "cannot connect the monitor stream"};
    }
    // Last: the capture's cycles drive everything above, which now exists.
    if (pw_stream_connect(s.capture, PW_DIRECTION_INPUT, PW_ID_ANY,
                          static_cast<pw_stream_flags>(common | PW_STREAM_FLAG_AUTOCONNECT), params,
                          1) < 0)
        throw ToolError{ExitCode::Unexpected, "cannot connect the capture stream"};
    s.roundtrip();
}

void PipewireGraph::run(const std::function<void()>& every, int periodMs,
                        const std::function<bool()>& onInput) {
    State& s = *state_;
    if (s.stopping) return;
    s.every = every;
    s.onInput = onInput;
    s.timer = pw_loop_add_timer(s.loop, onTimer, &s);
    timespec period{periodMs / 1000, (periodMs % 1000) * 1000000L};
    pw_loop_update_timer(s.loop, s.timer, &period, &period, false);
    if (onInput) {
        s.input =
            pw_loop_add_io(s.loop, STDIN_FILENO, SPA_IO_IN | SPA_IO_HUP, false, onInputReady, &s);
        // A regular file cannot be polled: read it whole now, as if it had arrived.
        if (s.input == nullptr)
            while (onInput() && !s.stopping) {
            }
    }
    if (!s.stopping) pw_main_loop_run(s.mainLoop);
}

void PipewireGraph::quit() {
    state_->stopping = true;
    pw_main_loop_quit(state_->mainLoop);
}

}  // namespace wt::live

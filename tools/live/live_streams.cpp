#include "tools/live/live_streams.h"

#include <spa/param/audio/format-utils.h>
#include <spa/param/props.h>
#include <spa/pod/builder.h>
#include <spa/utils/result.h>
#include <unistd.h>

#include "tools/live/live_options.h"

namespace wt::live {

namespace {

constexpr size_t kPodBufferSize = 1024;

// What keeps our path bit-exact, on every stream: the format the plugin speaks, and every
// conversion the stream's own converter could add switched off explicitly, since a user's
// configuration can change the defaults. No session manager links them: the engine does.
void setExactPath(pw_properties* props, int quantum, const std::string& group) {
    pw_properties_set(props, PW_KEY_MEDIA_TYPE, "Audio");
    pw_properties_setf(props, PW_KEY_NODE_LATENCY, "%d/%d", quantum, kSampleRate);
    pw_properties_setf(props, PW_KEY_NODE_RATE, "1/%d", kSampleRate);
    pw_properties_set(props, PW_KEY_NODE_GROUP, group.c_str());
    pw_properties_set(props, PW_KEY_NODE_AUTOCONNECT, "false");
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

// The stream events, one table per kind; every main-thread handler is shared.
struct StreamHandlers {
    static LiveStreams::Slot& slot(void* data) { return *static_cast<LiveStreams::Slot*>(data); }

    static void state(void* data, pw_stream_state, pw_stream_state now, const char* error) {
        LiveStreams::Slot& s = slot(data);
        if (now == PW_STREAM_STATE_ERROR)
            s.owner->callbacks_.fail(std::string("the ") + s.kind +
                                     " stream failed: " + (error != nullptr ? error : ""));
        else
            s.owner->callbacks_.changed();
    }

    // A session manager may restore a saved volume or mute onto a stream; any gain on the
    // path would change the samples, so it is set back to 1.0, unmuted.
    static void control(void* data, uint32_t id, const pw_stream_control* control) {
        LiveStreams::Slot& s = slot(data);
        bool unity = true;
        if (id == SPA_PROP_volume || id == SPA_PROP_channelVolumes)
            for (uint32_t i = 0; i < control->n_values; ++i)
                unity = unity && control->values[i] == 1.0f;
        else if (id == SPA_PROP_mute)
            unity = control->n_values == 0 || control->values[0] == 0.0f;
        if (unity) return;
        float one = 1.0f;
        float zero = 0.0f;
        pw_stream_set_control(s.stream, SPA_PROP_volume, 1, &one, SPA_PROP_mute, 1, &zero,
                              SPA_PROP_channelVolumes, 1, &one, 0);
        if (!s.owner->volumeWarned_)
            s.owner->callbacks_.say(std::string("the session set a volume or mute on the ") +
                                    s.kind +
                                    " stream; held at 1.0, unmuted, so the samples pass "
                                    "unchanged");
        s.owner->volumeWarned_ = true;
    }

    static void captureIo(void* data, uint32_t id, void* area, uint32_t) {
        if (id == SPA_IO_Position)
            slot(data).owner->cycle_.setPosition(static_cast<spa_io_position*>(area));
    }

    // [data thread]
    static void captured(void* data) { slot(data).owner->cycle_.captured(); }

    // [data thread]
    static void feed(void* data) { slot(data).owner->cycle_.feed(); }

    static pw_stream_events kind(void (*process)(void*),
                                 void (*io)(void*, uint32_t, void*, uint32_t)) {
        pw_stream_events events{};
        events.version = PW_VERSION_STREAM_EVENTS;
        events.state_changed = state;
        events.control_info = control;
        events.io_changed = io;
        events.process = process;
        return events;
    }

    static void micBound(void* data, uint32_t id) {
        auto* owner = static_cast<LiveStreams*>(data);
        owner->micId_ = id;
        owner->callbacks_.changed();
    }

    static void micError(void* data, int, int res, const char* message) {
        static_cast<LiveStreams*>(data)->callbacks_.fail(
            std::string("the server refused the microphone node: ") +
            (message != nullptr ? message : spa_strerror(res)));
    }
};

namespace {

const pw_stream_events kCaptureEvents =
    StreamHandlers::kind(StreamHandlers::captured, StreamHandlers::captureIo);
const pw_stream_events kFeedEvents = StreamHandlers::kind(StreamHandlers::feed, nullptr);
const pw_stream_events kMonitorEvents = StreamHandlers::kind(nullptr, nullptr);

const pw_proxy_events kMicEvents = [] {
    pw_proxy_events events{};
    events.version = PW_VERSION_PROXY_EVENTS;
    events.bound = StreamHandlers::micBound;
    events.error = StreamHandlers::micError;
    return events;
}();

// Only called from within the data loop: the monitor pointer changes between cycles.
int setMonitorInCycle(spa_loop*, bool, uint32_t, const void* data, size_t, void* cycle) {
    static_cast<DataCycle*>(cycle)->setMonitor(*static_cast<pw_stream* const*>(data));
    return 0;
}

}  // namespace

LiveStreams::LiveStreams(pw_core* core, pw_data_loop* dataLoop, DataCycle& cycle, int quantum,
                         Callbacks callbacks)
    : core_(core),
      dataLoop_(dataLoop),
      cycle_(cycle),
      quantum_(quantum),
      callbacks_(std::move(callbacks)),
      group_("wacky-throats-" + std::to_string(getpid())) {
    for (Slot* s : {&capture_, &feed_, &monitor_}) s->owner = this;
    capture_.kind = "capture";
    feed_.kind = "voice";
    monitor_.kind = "monitor";
}

LiveStreams::~LiveStreams() {
    setMonitor(false);
    for (Slot* s : {&capture_, &feed_})
        if (s->stream != nullptr) pw_stream_destroy(s->stream);
    cycle_.attach(nullptr, nullptr);
    cycle_.setPosition(nullptr);
    if (micProxy_ != nullptr) pw_proxy_destroy(micProxy_);
}

uint32_t LiveStreams::capture() const {
    return capture_.stream != nullptr ? pw_stream_get_node_id(capture_.stream) : SPA_ID_INVALID;
}

uint32_t LiveStreams::feed() const {
    return feed_.stream != nullptr ? pw_stream_get_node_id(feed_.stream) : SPA_ID_INVALID;
}

uint32_t LiveStreams::monitor() const {
    return monitor_.stream != nullptr ? pw_stream_get_node_id(monitor_.stream) : SPA_ID_INVALID;
}

bool LiveStreams::connect(Slot& slot, const char* name, const char* description,
                          pw_properties* props, pw_direction direction, pw_stream_flags extra,
                          const pw_stream_events* events) {
    pw_properties_set(props, PW_KEY_NODE_NAME, name);
    pw_properties_set(props, PW_KEY_NODE_DESCRIPTION, description);
    setExactPath(props, quantum_, group_);
    slot.stream = pw_stream_new(core_, description, props);
    if (slot.stream == nullptr) return false;
    pw_stream_add_listener(slot.stream, &slot.listener, events, &slot);
    uint8_t podBuffer[kPodBufferSize];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBuffer, sizeof podBuffer);
    const spa_pod* params[1] = {monoS16Format(&builder)};
    const auto flags = static_cast<pw_stream_flags>(PW_STREAM_FLAG_MAP_BUFFERS |
                                                    PW_STREAM_FLAG_RT_PROCESS | extra);
    return pw_stream_connect(slot.stream, direction, PW_ID_ANY, flags, params, 1) >= 0;
}

bool LiveStreams::create(std::string* why) {
    pw_properties* micProps = pw_properties_new(
        "factory.name", "support.null-audio-sink", PW_KEY_NODE_NAME, kMicName,
        PW_KEY_NODE_DESCRIPTION, kMicDescription, PW_KEY_MEDIA_CLASS, "Audio/Source/Virtual",
        "audio.position", "[ MONO ]", PW_KEY_OBJECT_LINGER, "false", PW_KEY_NODE_GROUP,
        group_.c_str(), "monitor.channel-volumes", "false", "dither.method", "none", "dither.noise",
        "0", "resample.disable", "true", nullptr);
    pw_properties_setf(micProps, "audio.rate", "%d", kSampleRate);
    pw_properties_set(micProps, "audio.channels", "1");
    micProxy_ = static_cast<pw_proxy*>(pw_core_create_object(
        core_, "adapter", PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, &micProps->dict, 0));
    pw_properties_free(micProps);
    if (micProxy_ == nullptr) {
        *why = "cannot ask the server for the microphone node";
        return false;
    }
    pw_proxy_add_listener(micProxy_, &micListener_, &kMicEvents, this);

    // Mono into a mono microphone: nothing to mix. (The capture side mixes a source of
    // several channels down, as the client does; the monitor may spread to a stereo output.)
    pw_properties* feedProps =
        pw_properties_new(PW_KEY_MEDIA_CATEGORY, "Playback", "channelmix.disable", "true", nullptr);
    pw_properties* captureProps =
        pw_properties_new(PW_KEY_MEDIA_CATEGORY, "Capture", "monitor.channel-volumes", "false",
                          // Scheduled with its group while no input is linked, so the microphone
                          // carries silence then instead of nothing.
                          "node.always-process", "true", nullptr);
    cycle_.attach(nullptr, nullptr);
    if (!connect(feed_, "wacky-throats-voice", "Wacky Throats voice", feedProps,
                 PW_DIRECTION_OUTPUT, PW_STREAM_FLAG_TRIGGER, &kFeedEvents)) {
        *why = "cannot connect the voice stream";
        return false;
    }
    // Before the capture connects: its first cycle may run as soon as it does.
    cycle_.attach(nullptr, feed_.stream);
    if (!connect(capture_, "wacky-throats-capture", "Wacky Throats capture", captureProps,
                 PW_DIRECTION_INPUT, PW_STREAM_FLAG_INACTIVE, &kCaptureEvents)) {
        *why = "cannot connect the capture stream";
        return false;
    }
    cycle_.attach(capture_.stream, feed_.stream);
    pw_stream_set_active(capture_.stream, true);
    return true;
}

void LiveStreams::setMonitor(bool on) {
    if (on == (monitor_.stream != nullptr)) return;
    if (on) {
        pw_properties* props = pw_properties_new(PW_KEY_MEDIA_CATEGORY, "Playback",
                                                 PW_KEY_MEDIA_ROLE, "Communication", nullptr);
        if (!connect(monitor_, "wacky-throats-monitor", "Wacky Throats monitor", props,
                     PW_DIRECTION_OUTPUT, PW_STREAM_FLAG_NONE, &kMonitorEvents)) {
            callbacks_.say("cannot create the monitor stream");
            if (monitor_.stream != nullptr) pw_stream_destroy(monitor_.stream);
            monitor_.stream = nullptr;
            return;
        }
    }
    pw_stream* next = on ? monitor_.stream : nullptr;
    pw_data_loop_invoke(dataLoop_, setMonitorInCycle, 0, &next, sizeof next, true, &cycle_);
    if (!on) {
        pw_stream_destroy(monitor_.stream);
        monitor_.stream = nullptr;
    }
}

}  // namespace wt::live

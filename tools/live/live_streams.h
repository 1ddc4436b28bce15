#pragma once

#include <pipewire/pipewire.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tools/live/data_cycle.h"
#include "tools/live/live_engine.h"

// Our side of one server connection: the microphone node and the streams of the path,
// made when the server allows, gone with the connection. Their links are the engine's.
// [main thread], but for the process callbacks, which call the DataCycle.
//
// Every stream carries S16LE, 48000 Hz, one MONO channel, resampling disabled, dither off
// (method none, noise 0), volume 1.0 unmuted: nothing on the way from the captured samples
// to an application recording the microphone converts them. The microphone is a
// null-audio-sink adapter of class Audio/Source/Virtual (a *stream* of that class never
// becomes ready under WirePlumber 0.4, which then links nothing else). All share one
// node.group, so one driver clocks them; none asks the session manager for links.
namespace wt::live {

class LiveStreams {
  public:
    struct Callbacks {
        std::function<void(const std::string&)> fail;  // a stream or the microphone failed
        std::function<void(const std::string&)> say;
        std::function<void()> changed;  // a node ID became known or a stream's state moved
    };

    LiveStreams(pw_core* core, pw_data_loop* dataLoop, DataCycle& cycle, int quantum,
                Callbacks callbacks);
    // Streams first, so that no process callback runs once the cycle detaches.
    ~LiveStreams();

    LiveStreams(const LiveStreams&) = delete;
    LiveStreams& operator=(const LiveStreams&) = delete;

    // Asks the server for the microphone and connects the feed and the capture stream.
    // Returns false, with the reason in `why`, when the server cannot be asked.
    bool create(std::string* why);

    // Creates or destroys the monitor stream (the changed voice to an output).
    void setMonitor(bool on);

    // Node IDs as the server bound them, SPA_ID_INVALID until then.
    uint32_t mic() const { return micId_; }

    uint32_t capture() const;
    uint32_t feed() const;
    uint32_t monitor() const;

    // The capture stream's node, as a proxy its port layout can be set through.
    pw_stream* captureStream() const { return capture_.stream; }

    // One per stream: the main-thread handlers are the same for every kind.
    struct Slot {
        LiveStreams* owner = nullptr;
        const char* kind = "";  // "capture", "voice", "monitor": for messages
        pw_stream* stream = nullptr;
        spa_hook listener{};
    };

  private:
    friend struct StreamHandlers;

    bool connect(Slot& slot, const char* name, const char* description, pw_properties* props,
                 pw_direction direction, pw_stream_flags extra, const pw_stream_events* events);

    pw_core* core_;
    pw_data_loop* dataLoop_;
    DataCycle& cycle_;
    int quantum_;
    Callbacks callbacks_;
    std::string group_;
    pw_proxy* micProxy_ = nullptr;
    spa_hook micListener_{};
    uint32_t micId_ = SPA_ID_INVALID;
    Slot capture_, feed_, monitor_;
    bool volumeWarned_ = false;
};

}  // namespace wt::live

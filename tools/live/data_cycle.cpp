#include "tools/live/data_cycle.h"

#include <pipewire/pipewire.h>

#include <algorithm>
#include <cstring>

namespace wt::live {

namespace {

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
    return data.data == nullptr || data.chunk == nullptr ? 0 : data.maxsize / sizeof(int16_t);
}

}  // namespace

void DataCycle::captured() {
    if (const spa_io_position* position = position_) {
        const spa_io_clock& clock = position->clock;
        pipe_.clock(clock.duration, clock.rate.denom);
        // The graph's own misses: a cycle that starts past where the last one ended
        // skipped frames no buffer of ours ever held. Around a change of the cycle's size
        // the clock may also jump ahead and then repeat a position; such a jump, taken
        // back within a few cycles, lost nothing. A new driver starts a new count.
        if (clock.id == clockId_) {
            if (clock.position > expected_) {
                pendingMiss_ += clock.position - expected_;
                pendingAge_ = 0;
            } else {
                pendingMiss_ -= std::min(pendingMiss_, expected_ - clock.position);
            }
            if (pendingMiss_ > 0 && ++pendingAge_ > kSettleCycles) {
                pipe_.missed(pendingMiss_);
                pendingMiss_ = 0;
            }
        } else {
            pendingMiss_ = 0;
        }
        clockId_ = clock.id;
        expected_ = clock.position + clock.duration;
    }
    pw_stream_trigger_process(feed_);
}

void DataCycle::feed() {
    // A cycle whose trigger did not run the feed leaves its captured buffer queued; taking
    // only the oldest would put every later cycle one behind. The newest is this cycle's:
    // older ones go back to the capture stream, each a lost cycle.
    pw_buffer* in = pw_stream_dequeue_buffer(capture_);
    while (in != nullptr) {
        pw_buffer* newer = pw_stream_dequeue_buffer(capture_);
        if (newer == nullptr) break;
        pw_stream_queue_buffer(capture_, in);
        pipe_.drop();
        in = newer;
    }
    uint32_t frames = 0;
    const int16_t* captured = in != nullptr ? samplesOf(in, &frames) : nullptr;
    const spa_io_position* position = position_;
    const uint64_t now = position != nullptr ? position->clock.position : 0;
    // When a cycle grows, the feed is asked again within it for the frames the captured
    // buffer (still of the old size) did not hold. There are none to give: the microphone
    // takes what this cycle had, and nothing is lost.
    const bool again = captured == nullptr && position != nullptr && now == fedPosition_;
    const bool linked = inputLinked.load(std::memory_order_relaxed);
    if (captured == nullptr && (again || linked)) {
        if (!again) pipe_.drop();
        fedPosition_ = now;
        if (in != nullptr) pw_stream_queue_buffer(capture_, in);
        return;
    }
    fedPosition_ = now;
    pw_buffer* out = pw_stream_dequeue_buffer(feed_);
    int16_t* voice = out != nullptr ? static_cast<int16_t*>(out->buffer->datas[0].data) : nullptr;
    const uint32_t room = out != nullptr ? capacityOf(out) : 0;
    if (captured == nullptr && voice != nullptr) {
        // Nothing to capture from (the input is gone): the microphone carries the plugin's
        // answer to silence, one cycle of it, and the plugin's blocks stay in step.
        frames = std::min(
            room, position != nullptr ? static_cast<uint32_t>(position->clock.duration) : 0u);
        std::memset(voice, 0, frames * sizeof(int16_t));
        pipe_.cycle(voice, voice, static_cast<int>(frames));
    } else if (captured == nullptr || voice == nullptr || frames > room) {
        pipe_.drop();
        frames = 0;
    } else {
        pipe_.cycle(captured, voice, static_cast<int>(frames));
    }
    if (pw_stream* monitor = monitor_; monitor != nullptr && frames > 0) {
        if (pw_buffer* heard = pw_stream_dequeue_buffer(monitor)) {
            const uint32_t copied = std::min(frames, capacityOf(heard));
            if (copied > 0)
                std::memcpy(heard->buffer->datas[0].data, voice, copied * sizeof(int16_t));
            setChunk(heard, copied);
            pw_stream_queue_buffer(monitor, heard);
        }
    }
    if (out != nullptr) {
        if (out->buffer->datas[0].chunk != nullptr) setChunk(out, frames);
        pw_stream_queue_buffer(feed_, out);
    }
    if (in != nullptr) pw_stream_queue_buffer(capture_, in);
}

}  // namespace wt::live

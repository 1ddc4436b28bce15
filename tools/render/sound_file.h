#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Sound files through libsndfile: any format it reads in, 16-bit mono WAV out.
namespace wt::render {

inline constexpr double kFullScale = 32768.0;  // 16-bit sample value of 1.0

// Mixes one frame of `channels` samples (each nominally in [-1, 1)) to one 16-bit sample:
// the mean, scaled to 16 bits, rounded to nearest (half away from zero), held within
// -32768..32767.
int16_t mixToSample(const double* frame, int channels);

class SoundReader {
  public:
    // Throws session::ToolError: InputUnreadable when the file is missing or cannot be read,
    // InputFormat when libsndfile does not recognise or cannot decode it.
    explicit SoundReader(const std::string& path);
    ~SoundReader();
    SoundReader(const SoundReader&) = delete;
    SoundReader& operator=(const SoundReader&) = delete;

    int sampleRate() const { return sampleRate_; }

    int channels() const { return channels_; }

    // Frames in the file, or -1 where the format does not tell.
    int64_t frames() const { return frames_; }

    // Fills `mono` with the next frames, mixed down; returns how many, fewer only at the end.
    size_t read(std::span<int16_t> mono);

  private:
    bool refill();  // false at the end of the file

    struct Handle;
    std::unique_ptr<Handle> handle_;
    int sampleRate_ = 0;
    int channels_ = 0;
    int64_t frames_ = -1;
    std::vector<double> scratch_;   // interleaved frames as libsndfile delivers them
    std::vector<int16_t> decoded_;  // the last chunk, mixed down
    size_t next_ = 0;               // first sample of decoded_ not yet handed out
};

class SoundWriter {
  public:
    // Creates a 16-bit PCM mono WAV file. Throws session::ToolError (OutputUnwritable).
    SoundWriter(const std::string& path, int sampleRate);
    ~SoundWriter();
    SoundWriter(const SoundWriter&) = delete;
    SoundWriter& operator=(const SoundWriter&) = delete;

    // Buffered: a failure may show at a later write or at close(). Throws session::ToolError
    // (OutputUnwritable) when the samples cannot all be written.
    void write(std::span<const int16_t> samples);

    // Writes what is buffered and completes the file header. Without it the file is left
    // incomplete. Throws session::ToolError (OutputUnwritable).
    void close();

  private:
    void flush();

    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::string path_;
    std::vector<int16_t> pending_;  // written at the next flush
};

}  // namespace wt::render

#include "tools/render/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/session/exit_codes.h"

namespace wt::render {

using session::ExitCode;
using session::ToolError;

namespace {

// Frames read from, and samples written to, libsndfile at a time, whatever the caller
// asks for: one system call per chunk rather than per capture call, and a scratch buffer
// that stays small even for files with many channels.
constexpr size_t kReadChunk = 4096;
constexpr size_t kWriteChunk = 4096;

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

// libsndfile says "System error" for a file it could not open; errno says which.
void checkReadable(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw ToolError{ExitCode::InputUnreadable, "input " + path + " does not exist"};
    if (std::filesystem::is_directory(path, ec))
        throw ToolError{ExitCode::InputUnreadable, "input " + path + " is a directory"};
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr)
        throw ToolError{ExitCode::InputUnreadable,
                        "cannot read input " + path + ": " + std::strerror(errno)};
    std::fclose(probe);
}

}  // namespace

int16_t mixToSample(const double* frame, int channels) {
    double sum = 0.0;
    for (int c = 0; c < channels; ++c) sum += frame[c];
    const double scaled = sum / channels * kFullScale;
    if (!(scaled > -kFullScale)) return -32768;  // NaN lands here too
    if (scaled >= kFullScale - 1.0) return 32767;
    return static_cast<int16_t>(std::lround(scaled));
}

struct SoundReader::Handle {
    SndfilePtr file;
};

SoundReader::SoundReader(const std::string& path) : handle_(std::make_unique<Handle>()) {
    checkReadable(path);
    SF_INFO info{};
    handle_->file.reset(sf_open(path.c_str(), SFM_READ, &info));
    if (!handle_->file)
        throw ToolError{ExitCode::InputFormat,
                        "cannot read " + path + " as sound: " + sf_strerror(nullptr)};
    if (info.channels < 1 || info.samplerate < 1)
        throw ToolError{ExitCode::InputFormat, "input " + path + " has no audio channels"};
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    // Pipes and some formats report an absurd frame count instead of none.
    frames_ = info.frames >= 0 && info.frames < SF_COUNT_MAX / 2 ? info.frames : -1;
    // Samples come back as doubles normalised to [-1, 1): 16-bit input maps exactly.
    sf_command(handle_->file.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
    scratch_.resize(kReadChunk * static_cast<size_t>(channels_));
    decoded_.reserve(kReadChunk);
}

SoundReader::~SoundReader() = default;

size_t SoundReader::read(std::span<int16_t> mono) {
    size_t done = 0;
    while (done < mono.size()) {
        if (next_ == decoded_.size() && !refill()) break;
        const size_t n = std::min(mono.size() - done, decoded_.size() - next_);
        std::copy_n(decoded_.begin() + static_cast<ptrdiff_t>(next_), n, mono.begin() + done);
        next_ += n;
        done += n;
    }
    return done;
}

bool SoundReader::refill() {
    const sf_count_t got =
        sf_readf_double(handle_->file.get(), scratch_.data(), static_cast<sf_count_t>(kReadChunk));
    decoded_.resize(got > 0 ? static_cast<size_t>(got) : 0);
    for (size_t f = 0; f < decoded_.size(); ++f)
        decoded_[f] = mixToSample(&scratch_[f * static_cast<size_t>(channels_)], channels_);
    next_ = 0;
    return !decoded_.empty();
}

struct SoundWriter::Handle {
    SndfilePtr file;
};

SoundWriter::SoundWriter(const std::string& path, int sampleRate)
    : handle_(std::make_unique<Handle>()), path_(path) {
    pending_.reserve(2 * kWriteChunk);
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    handle_->file.reset(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!handle_->file)
        throw ToolError{ExitCode::OutputUnwritable,
                        "cannot write output " + path + ": " + sf_strerror(nullptr)};
}

SoundWriter::~SoundWriter() = default;

void SoundWriter::write(std::span<const int16_t> samples) {
    pending_.insert(pending_.end(), samples.begin(), samples.end());
    if (pending_.size() >= kWriteChunk) flush();
}

void SoundWriter::flush() {
    if (pending_.empty()) return;
    const sf_count_t wrote = sf_writef_short(handle_->file.get(), pending_.data(),
                                             static_cast<sf_count_t>(pending_.size()));
    if (wrote != static_cast<sf_count_t>(pending_.size()))
        throw ToolError{ExitCode::OutputUnwritable,
                        "cannot write output " + path_ + ": " + sf_strerror(handle_->file.get())};
    pending_.clear();
}

void SoundWriter::close() {
    flush();
    SNDFILE* file = handle_->file.release();
    if (file != nullptr && sf_close(file) != 0)
        throw ToolError{ExitCode::OutputUnwritable, "cannot finish output " + path_};
}

}  // namespace wt::render

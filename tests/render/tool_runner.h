#pragma once

// Runs the built wacky-render as a user would and reads back what it wrote. Sound files
// go through libsndfile directly, not through the tool's own reader.

#include <fcntl.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/session/client_rate.h"

namespace render_test {

namespace fs = std::filesystem;

struct ToolResult {
    int exitCode;
    std::string out;  // standard output
    std::string err;  // standard error
};

inline std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the tool with `args`, standard output and error captured in files under `scratch`.
inline ToolResult runTool(const std::vector<std::string>& args, const fs::path& scratch) {
    const fs::path outFile = scratch / "stdout.txt";
    const fs::path errFile = scratch / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{WT_RENDER_TOOL};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, WT_RENDER_TOOL, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, "", "spawn failed"};
    int status = 0;
    waitpid(pid, &status, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {code, readText(outFile), readText(errFile)};
}

struct Sound {
    int sampleRate = wt::session::kClientRate;
    int channels = 1;
    int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    std::vector<int16_t> samples;  // interleaved
};

inline bool writeSound(const fs::path& path, const Sound& sound) {
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = sound.channels;
    info.format = sound.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    const sf_count_t frames = static_cast<sf_count_t>(sound.samples.size()) / sound.channels;
    const bool ok = sf_writef_short(file, sound.samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

inline Sound readSound(const fs::path& path) {
    SF_INFO info{};
    Sound sound;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return sound;
    sound.sampleRate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    sound.samples.resize(static_cast<size_t>(info.frames * info.channels));
    sf_readf_short(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

}  // namespace render_test

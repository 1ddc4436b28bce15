// The voice path allocates nothing and makes no system call, over many blocks, every
// effect and strength, every instruction set and several buffer shapes. Allocations are
// seen through the link-time malloc wrappers and a replaced operator new; system calls
// (on Linux) by running the path in a child process that the kernel kills at the first
// one. Locks need no run-time test: the voice objects reference no lock primitive at all
// (see check_voice_objects.cmake).

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "plugin/entry_points.h"
#include "tests/support/allocation_probe.h"
#include "voice/transform_kernels.h"
#include "voice_fixture.h"

#if defined(__linux__) && defined(__x86_64__)
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#endif

namespace {

std::atomic<long> newCalls{0};

}  // namespace

// Every operator new of the program ends here (the other forms call this one).
// GCC takes the replacement delete's free() for a mismatch with new.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    newCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using wt::EffectKind;

// A run of the voice path as the client drives it: for every instruction set, effect and
// strength, mono and stereo buffers of a few sizes, each setting over several blocks.
// Buffers are made before the run; the run itself touches only them and the plugin.
struct VoiceRun {
    std::vector<short> audio;

    VoiceRun() : audio(2 * 4096) {
        for (size_t k = 0; k < audio.size(); ++k)
            audio[k] = static_cast<short>((k * 7919) % 65536 - 32768);
    }

    void operator()() {
        const float strengths[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 0.3f};
        const int shapes[][2] = {{480, 1}, {441, 2}, {4096, 1}, {1, 1}};
        // First with the instruction set the plugin chooses itself, then with each one.
        for (int32_t isa = -1; isa < wt::kIsaCount; ++isa) {
            if (isa >= 0) {
                if (!wt::isaSupported(static_cast<wt::Isa>(isa))) continue;
                wt::forceIsa(static_cast<wt::Isa>(isa));
            }
            for (int32_t kind = -1; kind <= 6; ++kind) {
                for (const float strength : strengths) {
                    wt::storeEffectKind(static_cast<EffectKind>(kind));
                    wt::storeEffectStrength(strength);
                    for (const auto& [frames, channels] : shapes) {
                        for (int call = 0; call < 3 * kBlockSize / frames + 1; ++call) {
                            int flags = 0;
                            ts3plugin_onEditCapturedVoiceDataEvent(1, audio.data(), frames,
                                                                   channels, &flags);
                        }
                    }
                }
            }
        }
    }
};

class VoicePath : public VoiceTest {};

TEST_F(VoicePath, AllocatesNothing) {
    VoiceRun run;
    const long newBefore = newCalls.load();
    wt::test::AllocationProbe probe;
    run();
    const size_t allocations = probe.allocations();
    const long news = newCalls.load() - newBefore;
    EXPECT_EQ(news, 0);
    // Where the C runtime's malloc comes from a DLL, the link-time wrapper cannot see it;
    // the object inspection covers that build.
    if (wt::test::AllocationProbe::active()) {
        EXPECT_EQ(allocations, 0u);
    }
}

#if defined(__linux__) && defined(__x86_64__)

// Runs `body` in a child process in which every system call but exit_group kills the
// process. Returns the child's wait status, or -1 when the kernel offers no filter.
template <class Body>
int inSandbox(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_exit_group, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        };
        sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
            syscall(SYS_exit_group, 77);
        }
        body();
        // Straight to the kernel: a sanitizer's _exit would do work of its own first.
        syscall(SYS_exit_group, 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return -1;
    return status;
}

TEST_F(VoicePath, MakesNoSystemCall) {
    // The sandbox itself: a single system call must be fatal in it.
    const int control = inSandbox([] { syscall(SYS_getpid); });
    if (control == -1) GTEST_SKIP() << "no seccomp filter available";
    ASSERT_TRUE(WIFSIGNALED(control) && WTERMSIG(control) == SIGSYS) << "status " << control;

    // Fresh process state from here on: the instruction set is chosen and the remap plans
    // are made inside the sandbox too.
    VoiceRun run;
    const int status = inSandbox(run);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS
                ? "the voice path made a system call"
                : "the voice path failed in the sandbox");
}

#endif

}  // namespace

#pragma once

// Points standard output at the null device for the scope's lifetime, or until restore():
// the plugin echoes every event it is handed, and a race test hands it thousands.

#include <fcntl.h>

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace wt::test {

class SilencedStdout {
  public:
    SilencedStdout() {
        std::fflush(stdout);
#if defined(_WIN32)
        saved_ = _dup(kStdout);
        const int null = _open("NUL", _O_WRONLY);
#else
        saved_ = dup(kStdout);
        const int null = open("/dev/null", O_WRONLY);
#endif
        if (null >= 0) {
            redirect(null);
            closeDescriptor(null);
        }
    }

    ~SilencedStdout() {
        restore();
    }

    void restore() {
        if (saved_ < 0) return;
        std::fflush(stdout);
        redirect(saved_);
        closeDescriptor(saved_);
        saved_ = -1;
    }

    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

  private:
#if defined(_WIN32)
    static void redirect(int to) {
        _dup2(to, kStdout);
    }

    static void closeDescriptor(int descriptor) {
        _close(descriptor);
    }
#else
    static void redirect(int to) {
        dup2(to, kStdout);
    }

    static void closeDescriptor(int descriptor) {
        close(descriptor);
    }
#endif

    static constexpr int kStdout = 1;
    int saved_ = -1;
};

}  // namespace wt::test

#include "tools/session/run_tool.h"

#include <cstdio>
#include <exception>

#include "tools/session/exit_codes.h"

namespace wt::session {

int runTool(const char* name, int (*run)(int argc, char** argv), int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const ToolError& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.message.c_str());
        return static_cast<int>(error.code);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
        return static_cast<int>(ExitCode::Unexpected);
    }
}

}  // namespace wt::session

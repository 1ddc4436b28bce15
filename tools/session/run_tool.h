#pragma once

// The main() of every tool that drives the plugin.
namespace wt::session {

// Returns run(argc, argv). A ToolError or any other exception escaping it is printed as
// "<name>: message" on standard error, and ends the tool with the error's exit code (or
// ExitCode::Unexpected).
int runTool(const char* name, int (*run)(int argc, char** argv), int argc, char** argv);

}  // namespace wt::session

#pragma once

#include "tools/session/exit_codes.h"

// wacky-render ends as every tool of ours does: one table of exit codes for them all.
namespace wt::render {

using session::ExitCode;
using RenderError = session::ToolError;

}  // namespace wt::render

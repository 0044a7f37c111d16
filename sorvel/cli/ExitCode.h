// ExitCode: what sorvel's exit status says.
#pragma once

namespace sorvel {

// Every file was respelled (or checked, in a dry run).
inline constexpr int kExitDone = 0;
// At least one file (or the report) failed; the others were done, and nothing was written for
// it.
inline constexpr int kExitFileFailed = 1;
// The command line is wrong; nothing was done.
inline constexpr int kExitUsage = 2;

}  // namespace sorvel

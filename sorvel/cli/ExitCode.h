// ExitCode: what sorvel's exit status says.
#pragma once

struct ExitCode {
    static constexpr int kDone = 0;        // every file was respelled (or checked, in a dry run)
    static constexpr int kFileFailed = 1;  // at least one file (or the report) failed; the
                                           // others were done, and nothing was written for it
    static constexpr int kUsage = 2;       // the command line is wrong; nothing was done
};

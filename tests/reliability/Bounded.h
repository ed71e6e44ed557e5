#pragma once

// Runs a piece of work in a child process under limits of address space and time, and reports
// how it ended: so that a test survives a crash, a hang or a runaway allocation of the code it
// checks, and learns the memory the work used.

#include <functional>
#include <string>

#include "docx/Error.h"

namespace reliability {

// What the work reported (or how it died).
struct BoundedResult {
    bool finished = false;  // the work returned and its report arrived
    int signal = 0;         // the signal that ended the child (SIGALRM: out of time)
    long number = 0;        // the error number the work reported (0: none)
    docx::Reason reason = docx::Reason::kOther;  // and the engine's reason, when it raised one
    std::string message;  // the error description (or what the work returned)
    double seconds = 0;   // wall-clock time of the child
    long maxRssKb = 0;    // peak resident memory of the child
};

// The work: returns a text; a docx::Error or runtime::Error it raises is reported with its
// number (and reason) and description.
using Work = std::function<std::string()>;

// Runs work in a child limited to addressSpaceMb of address space and seconds of wall time.
BoundedResult RunBounded(const Work& work, long addressSpaceMb, unsigned seconds);

// "finished, error N: message" or how the child ended, for failure messages.
std::string Describe(const BoundedResult& r);

}  // namespace reliability

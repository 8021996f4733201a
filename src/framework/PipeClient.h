#pragma once
// One request line and one reply line over a local Unix-domain stream socket (the companion
// program's pipe). The request goes out with "\n" appended; the reply is read up to "\n" or the
// end of the stream. The whole exchange shares one deadline and the reply is bounded in size,
// so a peer that stalls or floods never holds the caller. Any thread; nothing is shared.
#include "framework/SocketConnection.h"

#include <cstddef>
#include <string>

namespace tavora::framework {

struct PipeLimits {
    Millis timeout{3000};        // connect, send and the whole reply
    std::size_t maxReply = 4096; // bytes of the reply line, its "\n" included
};

enum class PipeStatus {
    Ok,        // a reply line arrived (it may be empty)
    NoPeer,    // no socket at the path, or nobody accepts on it
    TimedOut,  // the peer did not answer in time
    TooLong,   // the reply grew past the limit without ending
    Failed,    // any other failure (error says which)
    Cancelled, // the cancel flag was raised
};

struct PipeReply {
    PipeStatus status = PipeStatus::Failed;
    std::string text;  // the reply without its "\n" (and without a "\r" before it)
    std::string error; // why, when status is not Ok

    bool ok() const { return status == PipeStatus::Ok; }
};

// Sends `request` + "\n" to the socket at `socketPath` and reads one reply line. A request
// holding a line break or a NUL is refused without connecting (it would frame two requests).
PipeReply SendCommandToPipe(const std::string& socketPath, const std::string& request,
                            const PipeLimits& limits = {}, const CancelFlag* cancel = nullptr);

} // namespace tavora::framework

#pragma once

// The times a transfer waits, as one value: the product runs with the defaults, tests and the
// benchmark pass their own so that a failing radio costs milliseconds instead of seconds.
struct TransferTimings
{
    // Silence that fails a block: counted from when the request is off the wire at 115200 baud,
    // or from the last counted byte of its reply.
    int replyTimeoutMs = 1000;
    // How long the line must stay silent after a reply before it is judged, when it must be (the
    // last block, a reply in doubt): about four byte times at 115200 baud, longer for a radio
    // that answers slowly.
    int handOverUs = 350;
    // After a failed block, nothing is sent until the line has been silent this long, so that a
    // late or repeated reply has drained first (a line that talks for a whole reply time-out is
    // not waited out). Longer than the delivery interval of common USB serial adapters (16 ms).
    int quietMs = 50;
    // An answer is at an odd time when it comes this much later than four times the radio's
    // usual answer time (or this much sooner than half of it): beyond what a busy machine or a
    // USB adapter's delivery adds, within how soon an unasked reply follows a real one.
    int oddAnswerMarginUs = 3000;

    bool operator==(const TransferTimings &) const = default;
};

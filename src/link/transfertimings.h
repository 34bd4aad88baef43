#pragma once

// The times a transfer waits, as one value: the product runs with the defaults, tests and the
// benchmark pass their own so that a failing radio costs milliseconds instead of seconds.
struct TransferTimings
{
    // Silence after a send or an arrival that makes a block fail. The waits after a send count
    // from when the request is off the wire at 115200 baud.
    int replyTimeoutMs = 1000;
    // Once the line has been out of step, and after the last block, the line must stay silent
    // this long after the last expected byte of a reply before the reply is taken: a byte in this
    // window means the reply was longer than asked for (a repeated or stale reply running into
    // this one). About four byte times at 115200 baud.
    int handOverUs = 350;
    // Arrivals restart the time-out, but a radio that keeps sending without ever completing its
    // reply cannot hold a block open for longer than this after the request. After a failure, the
    // next answer counts only once this long has passed since its request, so that every late
    // answer to an earlier request has come by then.
    int maxReplyWaitMs = 5000;
    // After a failed or overlong reply, nothing is sent and nothing is taken until the line has
    // been silent this long, so that a late or repeated reply has drained first (a line that
    // talks for a whole reply time-out is given up on). Longer than the delivery interval of
    // common USB serial adapters (16 ms).
    int quietMs = 50;
    // On a line that hands replies over faster than 115200 baud would (a pseudo-terminal, an
    // adapter that delivers in bursts), the line must stay silent this long after a reply taken
    // on one answer before the next request goes out, so that a byte nobody asked for that
    // follows the reply shows as the anomaly it is instead of being taken for the next answer.
    // On a 115200 baud line the next request's own time on the wire does this for free.
    int strayQuietUs = 5000;

    bool operator==(const TransferTimings &) const = default;
};

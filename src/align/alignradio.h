#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// What an alignment run needs of the radio, kept to three operations so that the run does not
// care who owns the image and the cable: the command line's own link, or the window program's
// session. Every value goes through the image the implementation keeps.
class AlignRadio
{
public:
    // ok false: why says what went wrong, in the current language. portFault tells a frame or
    // port that failed apart from a radio that did not answer.
    struct Outcome
    {
        bool ok = true;
        bool portFault = false;
        QString why;
        QString detail; // a success's note, for example where the backup was written
    };
    using Done = std::function<void(const Outcome &)>;

    virtual ~AlignRadio() = default;

    // Reads the whole radio into the image and keeps a backup of what was read.
    virtual void readWholeRadio(Done done) = 0;
    virtual std::int32_t word(int address) const = 0;
    // Writes value into the image and sends the word live as an edit would; transmit seconds
    // 1..10 key the transmitter, 0 does not. done comes once the frame has left the port.
    virtual void setWordLive(int address, std::int32_t value, int txSeconds, Done done) = 0;
    // The tune data window's write, or the whole tune region when a value lies beyond it.
    virtual void writeTuneData(bool wholeRegion, Done done) = 0;
    // Nothing more goes to the radio, and no pending done is called.
    virtual void cancel() = 0;
    // The run is over, finished or stopped: what it changed becomes one change of the image.
    virtual void finish() {}
};

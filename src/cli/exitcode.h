#pragma once

// What the command-line front end reports to the shell, so a script can tell a radio that does not
// answer from a cable that is not there.
enum class ExitCode {
    Success = 0,
    Usage = 1,        // the command line is wrong
    NoAnswer = 2,     // the radio did not answer, or the transfer was given up
    FileRejected = 3, // a file could not be read, is not a radio data file, or could not be written
    PortFailed = 4,   // the COM port cannot be opened, or a frame did not leave it
    Differs = 5,      // verify and diff: the two images are not the same
    AlignOutside = 6, // align: some step ended outside its limits
    InstrumentFault = 7, // align: the measuring instrument failed
};

constexpr int toInt(ExitCode code)
{
    return static_cast<int>(code);
}

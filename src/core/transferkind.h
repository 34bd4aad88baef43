#pragma once

#include <QMetaType>

// The transfers any command can start. The menu, the toolbar and the tune windows' buttons name
// one of these instead of passing the three transfer settings as bare flags.
enum class TransferKind {
    FullRead,      // words 0 to 275 from the radio: Program menu, toolbar, tune data window
    FullWrite,     // words 0 to 275 to the radio: Program menu, toolbar
    TuneDataWrite, // words 0 to 71 to the radio: the tune data window's write button
    SquelchRead,   // words 128 to 275 from the radio: the squelch tune window
    SquelchWrite,  // words 128 to 275 to the radio: the squelch tune window
};

// The transfer settings a kind stands for.
struct TransferSettings
{
    bool isRead = false;
    bool tuneDataRange = false;
    bool squelchDataRange = false;
};

constexpr bool isReadTransfer(TransferKind kind)
{
    return kind == TransferKind::FullRead || kind == TransferKind::SquelchRead;
}

constexpr TransferSettings transferSettings(TransferKind kind)
{
    switch (kind) {
    case TransferKind::FullRead:
        return {true, true, true};
    case TransferKind::FullWrite:
        return {false, true, true};
    case TransferKind::TuneDataWrite:
        return {false, true, false};
    case TransferKind::SquelchRead:
        return {true, false, true};
    case TransferKind::SquelchWrite:
        return {false, false, true};
    }
    return {};
}

Q_DECLARE_METATYPE(TransferKind)

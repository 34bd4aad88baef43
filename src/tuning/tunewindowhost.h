#pragma once

#include "transferkind.h"

class TuneChildWindow;

// What a tune window needs from the frame that holds it. The frame lives in a higher layer, so
// the windows reach it only through this interface.
class TuneWindowHost
{
public:
    virtual ~TuneWindowHost() = default;

    // Window-list entry and open flag.
    virtual void childLoaded(TuneChildWindow &child) = 0;
    virtual void childUnloaded(TuneChildWindow &child) = 0;
    virtual void childActivated(TuneChildWindow &child) = 0;
    // 0 normal, 1 minimised, 2 maximised.
    virtual void recordChildWindowState(int state) = 0;

    // Runs a transfer in the modal transfer window and returns whether it succeeded.
    virtual bool runTransfer(TransferKind kind) = 0;
};

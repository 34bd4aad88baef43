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

    // Runs a transfer in the modal transfer window and returns whether it succeeded. A window
    // that has already settled unsaved changes for a read says so.
    virtual bool runTransfer(TransferKind kind, bool unsavedSettled = false) = 0;
    // Before a read replaces the image: Save, Discard or Cancel for unsaved changes; false when
    // the command must not go on.
    virtual bool settleUnsavedChanges() { return true; }
};

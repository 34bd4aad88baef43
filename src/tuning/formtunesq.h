#pragma once

#include "tunechildwindow.h"

// The squelch tune window: the squelch threshold table.
class FormTuneSq : public TuneChildWindow
{
    Q_OBJECT
public:
    static constexpr int WindowListCommand = 1003;

    FormTuneSq(AppState &state, TuneWindowHost &host, QWidget *parent = nullptr);

    // Puts the image's squelch table into the controls.
    void AnalyseSq();

protected:
    void refresh() override { AnalyseSq(); }
};

#pragma once

#include "tunechildwindow.h"

// The tune data window: every calibration value of the tune region of the image.
class FormTune : public TuneChildWindow
{
    Q_OBJECT
public:
    static constexpr int WindowListCommand = 1000;

    FormTune(AppState &state, TuneWindowHost &host, QWidget *parent = nullptr);

    // Puts the image's tune values into the controls.
    void AnalyseTuneData();

protected:
    void refresh() override { AnalyseTuneData(); }
};

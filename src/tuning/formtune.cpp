#include "formtune.h"

#include "appstate.h"
#include "tunefont.h"

FormTune::FormTune(AppState &state, TuneWindowHost &host, QWidget *parent)
    : TuneChildWindow(state, host, WindowListCommand, 1000, 1005, QSize(760, 520), parent)
{
    setObjectName(QStringLiteral("FormTune"));
    setWindowTitle(tr("Tune Data"));
    setFont(tuneWindowFont());
}

void FormTune::AnalyseTuneData() {}

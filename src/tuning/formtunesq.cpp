#include "formtunesq.h"

#include "appstate.h"
#include "tunefont.h"

FormTuneSq::FormTuneSq(AppState &state, TuneWindowHost &host, QWidget *parent)
    : TuneChildWindow(state, host, WindowListCommand, 1000, 1007, QSize(640, 480), parent)
{
    setObjectName(QStringLiteral("FormTuneSq"));
    // The same caption in both languages.
    setWindowTitle(QStringLiteral("SQ"));
    setFont(tuneWindowFont());
}

void FormTuneSq::AnalyseSq() {}

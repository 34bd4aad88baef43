#pragma once

#include <QString>

class QWidget;

// F1: the help file beside the program for the current language if one is there, otherwise the
// built-in help pages in a help window.
namespace Help {

// The help file the program looks for: "Tune_e.chm" (English) or "RQ73 Tune_c.chm" (Chinese)
// in the program folder.
QString helpFilePath(bool english);

void show(QWidget *parent, bool english);

} // namespace Help

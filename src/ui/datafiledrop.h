#pragma once

#include <functional>

class QEvent;
class QObject;
class QString;
class QWidget;

// A data file dragged anywhere over the window, a value box included, opens as Open does: given
// every event of the application, takes the drags and the drop of one local *.rdat file over
// window, and after the drop has finished hands its path to open. True when it took the event.
bool takeDataFileDrop(QWidget &window, QObject *watched, QEvent *event,
                      const std::function<void(const QString &path)> &open);

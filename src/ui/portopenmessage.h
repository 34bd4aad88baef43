#pragma once

#include "portopen.h"

class QWidget;

// The error message of a port that could not be opened, with the reason beneath it.
void showPortOpenFailure(QWidget *parent, const QString &message, const PortOpenResult &result);

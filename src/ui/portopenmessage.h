#pragma once

#include "portopen.h"

class QWidget;

// Why a port could not be opened, in the current language, for the line under a message.
QString portOpenReason(const PortOpenResult &result);

// The error message of a port that could not be opened, with the reason beneath it.
void showPortOpenFailure(QWidget *parent, const QString &message, const PortOpenResult &result);

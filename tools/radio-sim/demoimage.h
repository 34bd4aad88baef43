#pragma once

#include <QByteArray>

// A radio as it comes off the alignment bench: plausible values in every group of the tune data
// window, all inside the ranges that window shows, and a rising squelch table with its reference
// pairs. A first Read From Radio against the simulated radio then shows values that move.
QByteArray demoImage();

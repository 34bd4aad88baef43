#pragma once

#include <QList>

class PortMap;

// Which COM ports can be opened now, as the COM port dialog lists them.
struct PortProbe
{
    QList<int> ports;         // rising COM numbers
    bool someRefused = false; // a device exists but we may not use it

    // Tries COM1 to COM99 under the given map, opening and closing each. A device that does not
    // exist is skipped without being opened.
    static PortProbe run(const PortMap &map);
    // The same under the settings as they are now.
    static PortProbe run();
};

// Which entry of the list is selected when the dialog opens: the port in use when it is listed;
// otherwise the first entry, whose number then becomes the port in use for this run.
struct PortChoice
{
    int index = -1;        // -1: nothing listed
    int comPortNumber = 0; // the port in use after the choice
    bool fellBack = false; // the port in use was not listed

    static PortChoice choose(const QList<int> &listed, int inUse);
};

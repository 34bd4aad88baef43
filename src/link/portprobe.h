#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

class PortMap;

// What the system tells about a serial device beyond its name, so that the technician can tell
// the programming cable from a modem or a built-in port. Empty where nothing is known (a
// built-in port without a driver description, a pseudo-terminal).
struct PortDetails
{
    QString description;
    QString manufacturer;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;

    bool isEmpty() const;
    // "067b:2303", the form lsusb and the drivers' tables use; empty without both numbers.
    QString usbIdText() const;

    // Looks the device up among the ports the system enumerates, by its name or, for a link such
    // as /dev/serial/by-id/..., by the device it leads to.
    static PortDetails of(const QString &device);
};

// Which COM ports can be opened now, as the COM port dialog lists them.
struct PortProbe
{
    QList<int> ports;                // rising COM numbers
    bool someRefused = false;        // a device exists but we may not use it
    QHash<int, QString> devices;     // the device of each listed port
    QHash<int, PortDetails> details; // what the system tells about each listed port

    // Tries COM1 to COM99 under the given map, opening and closing each. A device that does not
    // exist is skipped without being opened.
    static PortProbe run(const PortMap &map);
    // The same under the settings as they are now.
    static PortProbe run();

    // The advice for an empty list, and for ports that refused access, with the command that
    // grants it on its own line (the command is the same in every language), in the current
    // language.
    static QString noPortAdvice();
    static QString refusedAdvice();
    static QString accessCommand();
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

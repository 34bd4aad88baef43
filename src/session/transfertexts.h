#pragma once

#include <QCoreApplication>
#include <QString>

// The texts of a transfer, shared by the transfer window and the command line so both say the
// same in either language.
class TransferTexts
{
    Q_DECLARE_TR_FUNCTIONS(TransferTexts)
public:
    static QString readTitle() { return tr("Read Data From Radio"); }
    static QString writeTitle() { return tr("Write Data To Radio"); }
    static QString verifyTitle() { return tr("Verify Radio"); }
    // Followed by the "###%" figure.
    static QString complete() { return tr("Complete:"); }
    static QString readOk() { return tr("Read Data OK"); }
    static QString writeOk() { return tr("Write Data OK"); }
    static QString retryQuestion() { return tr("Check connection!Retry or cancel?"); }
    static QString reselectPort() { return tr("Please reselect COM port!"); }
};

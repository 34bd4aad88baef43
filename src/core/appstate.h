#pragma once

#include "radioimage.h"

#include <QChar>
#include <QString>
#include <cstdint>

// The process-wide values, created once in main() and handed by reference to the windows
// that need them. A test makes its own.
struct AppState
{
    // The title of the main window, of every message box and of the status bar's first panel.
    static constexpr char ApplicationTitle[] = "RQ73 Tune";
    // The program's version, shown by the about window and reported to the platform; the build
    // takes it from the project's version, so every program says the same.
    static QString versionText() { return QStringLiteral(RQ73_VERSION); }

    RadioImage image;
    std::int32_t TuneTxTime = 5;
    bool LanguageIsEnglish = true;
    QChar DecimalSeparator = QLatin1Char('.');
    int ComPortNumber = 1;
    QString CurrentFilePath;
    QString CurrentFileName = QStringLiteral("new.rdat");
    // True once the image holds data someone put there: a successful read from a radio or a
    // loaded file. False at start-up and again after New, when writing it would overwrite a
    // radio's calibration with zeros.
    bool ImageHasSource = false;

    // Set by the command that starts a transfer, cleared when the transfer window closes.
    bool TransferIsRead = false;
    bool TuneDataRange = false;
    bool SquelchDataRange = false;
    // Kept after the transfer window closes so the command that started it can look.
    bool TransferSucceeded = false;

    void clearTransferSettings()
    {
        TransferIsRead = false;
        TuneDataRange = false;
        SquelchDataRange = false;
    }
};

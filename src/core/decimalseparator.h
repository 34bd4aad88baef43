#pragma once

#include <QChar>
#include <QLocale>

// "." or ",": whichever the user's regional format writes in one half.
QChar DetermineDecimalSeparator(const QLocale &locale = QLocale::system());

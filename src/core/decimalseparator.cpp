#include "decimalseparator.h"

QChar DetermineDecimalSeparator(const QLocale &locale)
{
    return locale.toString(0.5).contains(QLatin1Char('.')) ? QLatin1Char('.') : QLatin1Char(',');
}

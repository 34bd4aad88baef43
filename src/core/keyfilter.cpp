#include "keyfilter.h"

int FilterKeyPress(const QString &text, bool hasSelection, QChar decimalSeparator, int key,
                   KeyFilterMode mode)
{
    if (key == decimalSeparator.unicode() && text.contains(decimalSeparator))
        return 0;
    if (key >= 'a' && key <= 'z')
        key = key - 'a' + 'A';

    const bool digit = key >= '0' && key <= '9';
    const bool control = key == KeyBackspace || key == KeyEnter;
    const bool minus = key == '-';
    if (mode == KeyFilterMode::Signed) {
        if (!digit && !control && !minus)
            return 0;
        // A minus sign may only start the text or replace a selection.
        if (minus && !text.isEmpty() && !hasSelection)
            return 0;
    } else if (!digit && !control) {
        return 0;
    }

    const int maxLength = mode == KeyFilterMode::ThreeDigit ? 3 : 8;
    if (text.size() == maxLength && !control && !hasSelection)
        return 0;
    return key;
}

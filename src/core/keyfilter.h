#pragma once

#include <QChar>
#include <QString>

enum class KeyFilterMode { ThreeDigit, EightDigit, Signed };

inline constexpr int KeyBackspace = 8;
inline constexpr int KeyEnter = 13;

// The key filter of the numeric text boxes. Takes the typed character code and returns the code
// to let through: 0 when the key is swallowed, a lower-case letter comes back upper-case.
int FilterKeyPress(const QString &text, bool hasSelection, QChar decimalSeparator, int key,
                   KeyFilterMode mode);

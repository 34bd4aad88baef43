#pragma once

#include <QCoreApplication>
#include <QString>

class QLineEdit;

// How a value box shows that its word differs from the image as last opened or read, and that
// its last frame could not be sent: the same in both tune windows, in looks and in words.
class ValueMarks
{
    Q_DECLARE_TR_FUNCTIONS(ValueMarks)
public:
    // Marks the box and returns the note a screen reader hears ("was 5; Not sent to the radio");
    // tip, when given, leads the tooltip.
    static QString apply(QLineEdit *box, bool changed, int was, bool unsent,
                         const QString &tip = {});
};

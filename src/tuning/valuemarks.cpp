#include "valuemarks.h"

#include <QLineEdit>
#include <QStringList>

QString ValueMarks::apply(QLineEdit *box, bool changed, int was, bool unsent, const QString &tip)
{
    QFont font = box->font();
    font.setBold(changed);
    box->setFont(font);
    QStringList notes;
    if (changed)
        notes << tr("was %1").arg(was);
    if (unsent)
        notes << tr("Not sent to the radio");
    // A tint says "changed", a red one "not sent"; the words say the same to a screen reader.
    if (unsent)
        box->setStyleSheet(QStringLiteral("QLineEdit { background: #f8d0d0; }"));
    else if (changed)
        box->setStyleSheet(QStringLiteral("QLineEdit { background: #fff2c0; }"));
    else
        box->setStyleSheet(QString());
    const QString note = notes.join(QStringLiteral("; "));
    QStringList tips;
    if (!tip.isEmpty())
        tips << tip;
    if (!note.isEmpty())
        tips << note;
    box->setToolTip(tips.join(QLatin1Char('\n')));
    box->setAccessibleDescription(note);
    return note;
}

#include "portopenmessage.h"

#include "appstate.h"

#include <QMessageBox>

void showPortOpenFailure(QWidget *parent, const QString &message, const PortOpenResult &result)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(AppState::ApplicationTitle), message,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PortOpenFailure"));
    box.setInformativeText(portOpenReason(result));
    box.exec();
}

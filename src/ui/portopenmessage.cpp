#include "portopenmessage.h"

#include "appstate.h"

#include <QCoreApplication>
#include <QMessageBox>

QString portOpenReason(const PortOpenResult &result)
{
    switch (result.error) {
    case PortOpenError::None:
        return {};
    case PortOpenError::NoSuchDevice:
        return QCoreApplication::translate(
                   "PortOpenMessage",
                   "The port %1 does not exist. Check that the programming cable is "
                   "plugged in, or choose another COM port.")
            .arg(result.device);
    case PortOpenError::InUse:
        return QCoreApplication::translate(
                   "PortOpenMessage",
                   "The port %1 is in use by another program. Close that program and "
                   "try again.")
            .arg(result.device);
    case PortOpenError::NoPermission:
        return QCoreApplication::translate(
                   "PortOpenMessage",
                   "You have no permission to use the port %1. On Linux, add your user "
                   "to the dialout group (sudo usermod -aG dialout $USER) and log in "
                   "again.")
            .arg(result.device);
    case PortOpenError::Other:
        break;
    }
    return QCoreApplication::translate("PortOpenMessage", "The port %1 could not be opened: %2")
        .arg(result.device, result.systemText);
}

void showPortOpenFailure(QWidget *parent, const QString &message, const PortOpenResult &result)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(AppState::ApplicationTitle), message,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PortOpenFailure"));
    box.setInformativeText(portOpenReason(result));
    box.exec();
}

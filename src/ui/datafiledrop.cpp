#include "datafiledrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// The data file a drag carries, or empty text: one local file named *.rdat.
QString droppedDataFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return path.endsWith(QStringLiteral(".rdat"), Qt::CaseInsensitive) ? path : QString();
}

} // namespace

bool takeDataFileDrop(QWidget &window, QObject *watched, QEvent *event,
                      const std::function<void(const QString &path)> &open)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != &window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedDataFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        // After the drop has finished, so the question is not asked inside the drag.
        QTimer::singleShot(0, &window, [open, path] { open(path); });
    return true;
}

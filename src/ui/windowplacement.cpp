#include "windowplacement.h"

#include "settingsstore.h"
#include "treepane.h"
#include "twips.h"

#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <algorithm>

namespace {

const QString GeometryValue = QStringLiteral("Window/Geometry");
const QString TreeWidthValue = QStringLiteral("Window/TreeTwips");

} // namespace

WindowPlacement::WindowPlacement(QMainWindow &frame, TreePane &treePane)
    : m_frame(frame)
    , m_treePane(treePane)
{}

void WindowPlacement::restore()
{
    QSettings settings = SettingsStore::openSettings();
    if (!m_frame.restoreGeometry(settings.value(GeometryValue).toByteArray())) {
        m_frame.setGeometry(m_frame.screen()->availableGeometry());
        m_fitPending = true;
    }
    const int stored = settings.value(TreeWidthValue, Twips::TreeStart).toInt();
    const double dpi = m_treePane.logicalDpiX();
    const int frameWidth = std::max(m_frame.width(), m_frame.frameGeometry().width());
    m_treePane.layoutPane(Twips::clampSplitter(stored, Twips::fromPixels(frameWidth, dpi)));
}

void WindowPlacement::save() const
{
    QSettings settings = SettingsStore::openSettings();
    settings.setValue(GeometryValue, m_frame.saveGeometry());
    settings.setValue(TreeWidthValue, m_treePane.splitterTwips());
}

void WindowPlacement::shown()
{
    if (!m_fitPending)
        return;
    m_fitPending = false;
    fitToScreen();
    QTimer::singleShot(0, &m_frame, [this] {
        if (!m_frame.isMaximized() && !m_frame.isFullScreen())
            fitToScreen();
    });
}

void WindowPlacement::fitToScreen()
{
    const QRect area = m_frame.screen()->availableGeometry();
    const QSize frame = m_frame.frameGeometry().size() - m_frame.geometry().size();
    m_frame.resize((area.size() - frame).expandedTo(QSize(1, 1)));
    m_frame.move(area.topLeft());
}

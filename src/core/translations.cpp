#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Translations::Translations(QObject *parent)
    : QObject(parent)
{}

Translations::~Translations()
{
    removeAll();
}

void Translations::removeAll()
{
    if (!m_installed)
        return;
    QCoreApplication::removeTranslator(&m_own);
    QCoreApplication::removeTranslator(&m_qt);
    m_installed = false;
}

bool Translations::apply(bool languageIsEnglish)
{
    removeAll();
    if (languageIsEnglish)
        return true;
    if (!m_own.load(QStringLiteral(":/i18n/rq73tune_zh_CN.qm")))
        return false;
    // Qt's own catalogue is optional: without it only the standard buttons stay English.
    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (m_qt.load(QStringLiteral("qtbase_zh_CN"), qtDir)
        || m_qt.load(QStringLiteral("qtbase_zh_CN"),
                     QCoreApplication::applicationDirPath() + QStringLiteral("/translations")))
        QCoreApplication::installTranslator(&m_qt);
    QCoreApplication::installTranslator(&m_own);
    m_installed = true;
    return true;
}

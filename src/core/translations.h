#pragma once

#include <QObject>
#include <QTranslator>

// Installs the Chinese texts (ours and Qt's own, so standard buttons read in Chinese) when the
// language is not English, and removes them again for English.
class Translations : public QObject
{
    Q_OBJECT
public:
    explicit Translations(QObject *parent = nullptr);
    ~Translations() override;

    // False when our Chinese catalogue could not be loaded; English texts then remain.
    bool apply(bool languageIsEnglish);

private:
    void removeAll();

    QTranslator m_own;
    QTranslator m_qt;
    bool m_installed = false;
};

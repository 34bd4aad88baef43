#pragma once

#include <QLabel>
#include <QStaticText>

// The caption of a tune value: a plain QLabel to screen readers and buddies, but its text is laid
// out once and drawn from that layout. A QLabel lays its text out again for every size question
// and every paint, and the tune window shows forty captions at start-up in a large CJK face.
class CaptionLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CaptionLabel(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool drawnAsLaidOut() const;
    // Lays the text out again when it or the font changed since the last time.
    const QStaticText &laidOut() const;

    mutable QStaticText m_layout;
    mutable QString m_laidOutText;
    mutable bool m_valid = false;
};

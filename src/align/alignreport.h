#pragma once

#include "alignresult.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QJsonDocument>
#include <QString>

#include <optional>

class QPainter;
class QRectF;

// The reports of a run, written from its result only: JSON for machines, and HTML or PDF for
// people, in the current language, with a chart of reading against try for each step. The HTML
// and PDF reports draw with Qt Gui, so they need a QGuiApplication.
namespace AlignReport {

enum class Format { Json, Html, Pdf };

// By the file's extension; null for any other.
std::optional<Format> formatFor(const QString &path);

QJsonDocument toJson(const AlignRunResult &result);
// chartSource(i) names the image of step i's chart: a data URL for a page of its own, a
// resource name for a QTextDocument.
QString toHtml(const AlignRunResult &result, const std::function<QString(int)> &chartSource);
QImage chart(const AlignStepResult &step, const QSize &size);
void paintChart(QPainter &painter, const QRectF &area, const AlignStepResult &step);

// "passed", "outside", "instrument-fault", "no-answer", "port-fault", "stopped".
QString outcomeKey(AlignRunResult::Outcome outcome);
QString outcomeText(AlignRunResult::Outcome outcome);

// false and the reason in error when the file could not be written.
bool write(const AlignRunResult &result, const QString &path, QString *error);

} // namespace AlignReport

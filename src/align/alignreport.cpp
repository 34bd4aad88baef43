#include "alignreport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

class Texts
{
    Q_DECLARE_TR_FUNCTIONS(AlignReport)

public:
    static QString runOutcome(AlignRunResult::Outcome outcome)
    {
        switch (outcome) {
        case AlignRunResult::Outcome::Running:
            return tr("running");
        case AlignRunResult::Outcome::Passed:
            return tr("every step passed");
        case AlignRunResult::Outcome::Outside:
            return tr("some step outside its limits");
        case AlignRunResult::Outcome::InstrumentFault:
            return tr("instrument fault");
        case AlignRunResult::Outcome::NoAnswer:
            return tr("the radio did not answer");
        case AlignRunResult::Outcome::PortFault:
            return tr("the radio's port failed");
        case AlignRunResult::Outcome::Stopped:
            return tr("stopped");
        }
        return {};
    }
};

const QSize ChartSize(480, 200);

QJsonValue optionalNumber(const std::optional<double> &v)
{
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QString number(double v)
{
    return QString::number(v, 'g', 6);
}

QString reading(const std::optional<double> &v, const QString &unit)
{
    return v ? QStringLiteral("%1 %2").arg(number(*v), unit).trimmed() : QStringLiteral("-");
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

namespace AlignReport {

std::optional<Format> formatFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("json"))
        return Format::Json;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QString outcomeKey(AlignRunResult::Outcome outcome)
{
    switch (outcome) {
    case AlignRunResult::Outcome::Running:
        return QStringLiteral("running");
    case AlignRunResult::Outcome::Passed:
        return QStringLiteral("passed");
    case AlignRunResult::Outcome::Outside:
        return QStringLiteral("outside");
    case AlignRunResult::Outcome::InstrumentFault:
        return QStringLiteral("instrument-fault");
    case AlignRunResult::Outcome::NoAnswer:
        return QStringLiteral("no-answer");
    case AlignRunResult::Outcome::PortFault:
        return QStringLiteral("port-fault");
    case AlignRunResult::Outcome::Stopped:
        return QStringLiteral("stopped");
    }
    return {};
}

QString outcomeText(AlignRunResult::Outcome outcome)
{
    return Texts::runOutcome(outcome);
}

QJsonDocument toJson(const AlignRunResult &result)
{
    QJsonArray steps;
    for (const AlignStepResult &s : result.steps) {
        QJsonArray tries;
        for (const AlignTry &t : s.tries)
            tries.append(QJsonObject{{QStringLiteral("value"), t.value},
                                     {QStringLiteral("reading"), t.reading}});
        steps.append(QJsonObject{
            {QStringLiteral("name"), s.step.value.name},
            {QStringLiteral("word"), s.step.value.word},
            {QStringLiteral("target"), s.step.target},
            {QStringLiteral("low"), s.step.low},
            {QStringLiteral("high"), s.step.high},
            {QStringLiteral("unit"), s.step.unit},
            {QStringLiteral("old_value"), s.oldValue},
            {QStringLiteral("new_value"), s.newValue},
            {QStringLiteral("old_reading"), optionalNumber(s.oldReading)},
            {QStringLiteral("new_reading"), optionalNumber(s.newReading)},
            {QStringLiteral("tries"), tries},
            {QStringLiteral("result"), AlignStepResult::outcomeKey(s.outcome)},
            {QStringLiteral("reason"), s.why},
        });
    }
    return QJsonDocument(QJsonObject{
        {QStringLiteral("procedure"), result.procedureName},
        {QStringLiteral("instrument"), result.instrument},
        {QStringLiteral("started"), result.started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("finished"), result.finished.toString(Qt::ISODateWithMs)},
        {QStringLiteral("result"), outcomeKey(result.outcome)},
        {QStringLiteral("reason"), result.why},
        {QStringLiteral("written"), result.written},
        {QStringLiteral("backup"), result.backupPath},
        {QStringLiteral("steps"), steps},
    });
}

void paintChart(QPainter &painter, const QRectF &area, const AlignStepResult &step)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const QFontMetricsF metrics(painter.font());
    const double margin = metrics.height() * 0.6;
    const double left
        = area.left() + metrics.horizontalAdvance(QStringLiteral("-0000.00")) + margin;
    const QRectF plot(left, area.top() + margin, area.right() - margin - left,
                      area.height() - 2 * margin - metrics.height());

    double lo = std::min(step.step.low, step.step.target);
    double hi = std::max(step.step.high, step.step.target);
    for (const AlignTry &t : step.tries) {
        lo = std::min(lo, t.reading);
        hi = std::max(hi, t.reading);
    }
    if (hi - lo < 1e-9) {
        lo -= 1;
        hi += 1;
    }
    const double pad = (hi - lo) * 0.08;
    lo -= pad;
    hi += pad;
    const int count = std::max<int>(2, int(step.tries.size()));
    auto x = [&](int i) { return plot.left() + plot.width() * i / (count - 1); };
    auto y = [&](double v) { return plot.bottom() - plot.height() * (v - lo) / (hi - lo); };

    // The band of the limits, the target, the axes.
    painter.fillRect(
        QRectF(QPointF(plot.left(), y(step.step.high)), QPointF(plot.right(), y(step.step.low))),
        QColor(200, 235, 200));
    painter.setPen(QPen(QColor(0, 120, 0), 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), y(step.step.target)),
                     QPointF(plot.right(), y(step.step.target)));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(plot);
    painter.drawText(QRectF(area.left(), plot.top() - metrics.height() / 2, left - area.left() - 4,
                            metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, number(hi));
    painter.drawText(QRectF(area.left(), plot.bottom() - metrics.height() / 2,
                            left - area.left() - 4, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, number(lo));
    painter.drawText(QRectF(area.left(), y(step.step.target) - metrics.height() / 2,
                            left - area.left() - 4, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, number(step.step.target));
    for (int i = 0; i < step.tries.size(); ++i)
        painter.drawText(QRectF(x(i) - 20, plot.bottom() + 2, 40, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(i + 1));

    if (!step.tries.isEmpty()) {
        QPainterPath path(QPointF(x(0), y(step.tries.first().reading)));
        for (int i = 1; i < step.tries.size(); ++i)
            path.lineTo(x(i), y(step.tries.at(i).reading));
        painter.setPen(QPen(QColor(30, 60, 160), 1.5));
        painter.drawPath(path);
        for (int i = 0; i < step.tries.size(); ++i) {
            const AlignTry &t = step.tries.at(i);
            const bool chosen
                = step.newReading && t.value == step.newValue && t.reading == *step.newReading;
            painter.setBrush(chosen ? QColor(220, 40, 40) : QColor(30, 60, 160));
            painter.drawEllipse(QPointF(x(i), y(t.reading)), chosen ? 4.5 : 3, chosen ? 4.5 : 3);
        }
    }
    painter.restore();
}

QImage chart(const AlignStepResult &step, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), step);
    return image;
}

QString toHtml(const AlignRunResult &result, const std::function<QString(int)> &chartSource)
{
    QString h;
    h += QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title>"
                        "<style>table{border-collapse:collapse}td,th{border:1px solid #888;"
                        "padding:2px 6px}th{background:#eee}</style></head><body>")
             .arg(escaped(result.procedureName));
    h += QStringLiteral("<h1>%1</h1>").arg(escaped(result.procedureName));
    h += QStringLiteral("<p>%1: %2<br>%3: %4<br>%5: %6<br>%7: <b>%8</b>")
             .arg(Texts::tr("Instrument"), escaped(result.instrument), Texts::tr("Started"),
                  QLocale().toString(result.started, QLocale::ShortFormat), Texts::tr("Finished"),
                  QLocale().toString(result.finished, QLocale::ShortFormat), Texts::tr("Result"),
                  escaped(Texts::runOutcome(result.outcome)));
    if (!result.why.isEmpty())
        h += QStringLiteral("<br>") + escaped(result.why);
    h += QStringLiteral("<br>%1</p>")
             .arg(result.written ? Texts::tr("The tune data were written to the radio.")
                                 : Texts::tr("Nothing was written to the radio."));

    h += QStringLiteral("<table><tr><th>%1</th><th>%2</th><th>%3</th><th>%4</th><th>%5</th>"
                        "<th>%6</th><th>%7</th></tr>")
             .arg(Texts::tr("Value"), Texts::tr("Target"), Texts::tr("Limits"),
                  Texts::tr("Old value"), Texts::tr("New value"), Texts::tr("Reading"),
                  Texts::tr("Result"));
    for (const AlignStepResult &s : result.steps) {
        h += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3 .. %4</td><td>%5</td><td>%6</td>"
                            "<td>%7 &rarr; %8</td><td>%9</td></tr>")
                 .arg(escaped(s.step.value.name), escaped(reading(s.step.target, s.step.unit)),
                      number(s.step.low), number(s.step.high), QString::number(s.oldValue),
                      QString::number(s.newValue), escaped(reading(s.oldReading, s.step.unit)),
                      escaped(reading(s.newReading, s.step.unit)),
                      escaped(AlignStepResult::outcomeText(s.outcome)));
    }
    h += QStringLiteral("</table>");

    for (int i = 0; i < result.steps.size(); ++i) {
        const AlignStepResult &s = result.steps.at(i);
        h += QStringLiteral("<h2>%1 %2: %3</h2>")
                 .arg(Texts::tr("Step"))
                 .arg(i + 1)
                 .arg(escaped(s.step.value.name));
        if (!s.why.isEmpty())
            h += QStringLiteral("<p>%1</p>").arg(escaped(s.why));
        if (s.tries.isEmpty())
            continue;
        h += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                 .arg(chartSource(i))
                 .arg(ChartSize.width())
                 .arg(ChartSize.height());
        h += QStringLiteral("<table><tr><th>%1</th><th>%2</th><th>%3</th></tr>")
                 .arg(Texts::tr("Try"), Texts::tr("Value"), Texts::tr("Reading"));
        for (int t = 0; t < s.tries.size(); ++t)
            h += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                     .arg(t + 1)
                     .arg(s.tries.at(t).value)
                     .arg(escaped(reading(s.tries.at(t).reading, s.step.unit)));
        h += QStringLiteral("</table>");
    }
    h += QStringLiteral("</body></html>");
    return h;
}

bool write(const AlignRunResult &result, const QString &path, QString *error)
{
    const std::optional<Format> format = formatFor(path);
    if (!format) {
        if (error)
            *error = Texts::tr("The report must be a .json, .html or .pdf file.");
        return false;
    }
    if (*format != Format::Json && !qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (error)
            *error = Texts::tr("This program cannot draw an HTML or PDF report.");
        return false;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (*format == Format::Json) {
        file.write(toJson(result).toJson(QJsonDocument::Indented));
    } else if (*format == Format::Html) {
        const QString html = toHtml(result, [&result](int i) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            chart(result.steps.at(i), ChartSize).save(&buffer, "PNG");
            return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
        });
        file.write(html.toUtf8());
    } else {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(96);
        pdf.setTitle(result.procedureName);
        QTextDocument document;
        for (int i = 0; i < result.steps.size(); ++i) {
            // Drawn at twice the size it is shown, so the chart stays sharp on paper.
            QImage image = chart(result.steps.at(i), ChartSize * 2);
            image.setDevicePixelRatio(2);
            document.addResource(QTextDocument::ImageResource,
                                 QUrl(QStringLiteral("chart:%1").arg(i)), image);
        }
        document.setHtml(toHtml(result, [](int i) { return QStringLiteral("chart:%1").arg(i); }));
        document.setPageSize(QSizeF(pdf.width(), pdf.height()));
        document.print(&pdf);
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace AlignReport

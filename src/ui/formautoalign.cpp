#include "formautoalign.h"

#include "alignreport.h"
#include "alignrun.h"
#include "appstate.h"
#include "backupstore.h"
#include "instrument.h"
#include "linkalignradio.h"
#include "tunevaluetable.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColValue, ColTarget, ColTry, ColNow, ColReading, ColResult, ColumnCount };

QString number(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

FormAutoAlign::FormAutoAlign(RadioFactory makeRadio, QWidget *parent)
    : QWidget(parent)
    , m_makeRadio(std::move(makeRadio))
    , m_instrumentTimeoutMs(Instrument::DefaultReplyTimeoutMs)
    , LabelInstrument(new QLabel(tr("&Instrument:"), this))
    , TextInstrument(new QLineEdit(this))
    , LabelProcedure(new QLabel(tr("&Procedure:"), this))
    , TextProcedure(new QLineEdit(this))
    , CommandBrowse(new QPushButton(tr("&Browse..."), this))
    , CheckWrite(new QCheckBox(tr("&Write the tune data when every step passed"), this))
    , TableSteps(new QTableWidget(0, ColumnCount, this))
    , TextLog(new QPlainTextEdit(this))
    , LabelStatus(new QLabel(this))
    , CommandStart(new QPushButton(tr("&Start"), this))
    , CommandStop(new QPushButton(tr("S&top"), this))
    , CommandSaveReport(new QPushButton(tr("Save &Report..."), this))
{
    setObjectName(QStringLiteral("FormAutoAlign"));
    setWindowTitle(tr("Auto Align"));
    const QList<std::pair<QWidget *, const char *>> names{
        {LabelInstrument, "LabelInstrument"}, {TextInstrument, "TextInstrument"},
        {LabelProcedure, "LabelProcedure"},   {TextProcedure, "TextProcedure"},
        {CommandBrowse, "CommandBrowse"},     {CheckWrite, "CheckWrite"},
        {TableSteps, "TableSteps"},           {TextLog, "TextLog"},
        {LabelStatus, "LabelStatus"},         {CommandStart, "CommandStart"},
        {CommandStop, "CommandStop"},         {CommandSaveReport, "CommandSaveReport"}};
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    TextInstrument->setPlaceholderText(QStringLiteral("tcp:192.168.1.20:5025"));
    TextInstrument->setToolTip(tr("tcp:HOST:PORT for the instrument's SCPI socket, or "
                                  "serial:COMn[:BAUD] for a serial port (9600 baud unless given)"));
    TextInstrument->setAccessibleName(tr("Instrument"));
    LabelInstrument->setBuddy(TextInstrument);
    TextProcedure->setAccessibleName(tr("Procedure"));
    LabelProcedure->setBuddy(TextProcedure);
    CommandBrowse->setAccessibleName(tr("Browse for a procedure"));
    CheckWrite->setChecked(true);
    CheckWrite->setAccessibleName(tr("Write the tune data when every step passed"));

    TableSteps->setHorizontalHeaderLabels(
        {tr("Value"), tr("Target"), tr("Try"), tr("Value now"), tr("Reading"), tr("Result")});
    TableSteps->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TableSteps->horizontalHeader()->setSectionResizeMode(ColResult, QHeaderView::Stretch);
    TableSteps->verticalHeader()->setVisible(false);
    TableSteps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableSteps->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableSteps->setAccessibleName(tr("Steps"));
    TextLog->setReadOnly(true);
    TextLog->setMaximumBlockCount(2000);
    TextLog->setAccessibleName(tr("Progress"));
    LabelStatus->setAccessibleName(tr("Result"));
    LabelStatus->setWordWrap(true);
    CommandStart->setAccessibleName(tr("Start"));
    CommandStop->setAccessibleName(tr("Stop"));
    CommandSaveReport->setAccessibleName(tr("Save Report"));

    auto *fields = new QGridLayout;
    fields->addWidget(LabelInstrument, 0, 0);
    fields->addWidget(TextInstrument, 0, 1, 1, 2);
    fields->addWidget(LabelProcedure, 1, 0);
    fields->addWidget(TextProcedure, 1, 1);
    fields->addWidget(CommandBrowse, 1, 2);
    fields->addWidget(CheckWrite, 2, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CommandStart);
    buttons->addWidget(CommandStop);
    buttons->addStretch();
    buttons->addWidget(CommandSaveReport);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(TableSteps, 3);
    layout->addWidget(TextLog, 1);
    layout->addWidget(LabelStatus);
    layout->addLayout(buttons);

    connect(CommandStart, &QPushButton::clicked, this, &FormAutoAlign::Start);
    connect(CommandStop, &QPushButton::clicked, this, &FormAutoAlign::Stop);
    connect(CommandSaveReport, &QPushButton::clicked, this, &FormAutoAlign::SaveReport);
    connect(CommandBrowse, &QPushButton::clicked, this, &FormAutoAlign::BrowseProcedure);
    setRunning(false);
}

FormAutoAlign::~FormAutoAlign()
{
    // The run refers to the radio and the instrument; it goes first.
    delete m_run;
}

FormAutoAlign::RadioFactory FormAutoAlign::linkRadioFactory(AppState &state)
{
    return [&state]() -> std::unique_ptr<AlignRadio> {
        auto radio = std::make_unique<LinkAlignRadio>(state.image, state.ComPortNumber);
        radio->setBackup(BackupStore::defaultFolder(), state.TuneTxTime);
        return radio;
    };
}

std::optional<AlignValueInfo> FormAutoAlign::resolveTuneValue(const QString &text)
{
    const TuneValues::Value *value = TuneValues::byName(text);
    if (!value || !value->editable)
        return std::nullopt;
    return AlignValueInfo{value->name, value->wordAddress, value->editLow, value->editHigh,
                          value->transmit};
}

bool FormAutoAlign::isRunning() const
{
    return m_run && m_run->isRunning();
}

const AlignRunResult *FormAutoAlign::lastResult() const
{
    return m_result ? &*m_result : nullptr;
}

void FormAutoAlign::setRunning(bool running)
{
    CommandStart->setEnabled(!running);
    CommandStop->setEnabled(running);
    CommandSaveReport->setEnabled(!running && m_result.has_value());
    TextInstrument->setEnabled(!running);
    TextProcedure->setEnabled(!running);
    CommandBrowse->setEnabled(!running);
    CheckWrite->setEnabled(!running);
}

void FormAutoAlign::log(const QString &line)
{
    TextLog->appendPlainText(line);
}

void FormAutoAlign::fail(const QString &text)
{
    QMessageBox::warning(this, QString::fromLatin1(AppState::ApplicationTitle), text);
}

void FormAutoAlign::BrowseProcedure()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Procedure"), TextProcedure->text(),
                                                      tr("Procedure files (*.json)"));
    if (!path.isEmpty())
        TextProcedure->setText(path);
}

void FormAutoAlign::Start()
{
    if (isRunning())
        return;
    QString error;
    const std::optional<Instrument::Address> address
        = Instrument::parseAddress(TextInstrument->text().trimmed(), &error);
    if (!address) {
        fail(error);
        TextInstrument->setFocus();
        return;
    }
    const QString path = TextProcedure->text().trimmed();
    const ParsedProcedure parsed
        = AlignProcedure::load(path, &FormAutoAlign::resolveTuneValue, [](const QString &text) {
              QStringList names;
              for (const TuneValues::Value &v : TuneValues::all()) {
                  if (v.editable)
                      names.append(v.name);
              }
              return AlignProcedure::closestName(text, names);
          });
    if (!parsed.procedure) {
        fail(tr("The procedure %1 cannot be used.").arg(path) + QStringLiteral("\n\n")
             + parsed.error);
        TextProcedure->setFocus();
        return;
    }
    m_procedure = parsed.procedure;
    showProcedure(*m_procedure);
    TextLog->clear();
    LabelStatus->clear();

    delete m_run;
    m_run = nullptr;
    m_instrument = Instrument::create(*address);
    m_instrument->setReplyTimeoutMs(m_instrumentTimeoutMs);
    connect(m_instrument.get(), &Instrument::opened, this, &FormAutoAlign::onOpened);
    connect(m_instrument.get(), &Instrument::failed, this, [this](const Instrument::Reading &why) {
        setRunning(false);
        const QString text = Instrument::faultText(why.fault) + QLatin1Char(' ')
                             + m_instrument->description() + QStringLiteral(": ") + why.detail;
        log(text);
        LabelStatus->setText(tr("Nothing was sent to the radio."));
        fail(text);
    });
    setRunning(true);
    CommandStop->setEnabled(false);
    log(tr("Connecting to %1...").arg(m_instrument->description()));
    m_instrument->open();
}

void FormAutoAlign::onOpened()
{
    m_radio = m_makeRadio();
    AlignRun::Options options;
    options.writeAtEnd = CheckWrite->isChecked();
    m_run = new AlignRun(*m_procedure, *m_radio, *m_instrument, options, this);
    connect(m_run, &AlignRun::message, this, &FormAutoAlign::log);
    connect(m_run, &AlignRun::stepChanged, this, &FormAutoAlign::showStep);
    connect(m_run, &AlignRun::finished, this, &FormAutoAlign::onFinished);
    CommandStop->setEnabled(true);
    m_run->start();
}

void FormAutoAlign::Stop()
{
    if (m_run)
        m_run->stop();
}

void FormAutoAlign::onFinished(AlignRunResult::Outcome outcome)
{
    m_result = m_run->result();
    m_radio->finish();
    m_instrument->close();
    setRunning(false);
    QString text = AlignReport::outcomeText(outcome);
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    if (!m_result->why.isEmpty())
        text += QStringLiteral(": ") + m_result->why;
    else if (m_result->written)
        text += QStringLiteral(": ") + tr("the tune data were written to the radio.");
    LabelStatus->setText(text);
    emit runFinished(outcome);
}

void FormAutoAlign::showProcedure(const AlignProcedure &procedure)
{
    TableSteps->setRowCount(int(procedure.steps.size()));
    for (int i = 0; i < procedure.steps.size(); ++i) {
        const AlignStep &s = procedure.steps.at(i);
        const QStringList texts{s.value.name,
                                QStringLiteral("%1 (%2 .. %3) %4")
                                    .arg(number(s.target), number(s.low), number(s.high), s.unit)
                                    .trimmed(),
                                QString(),
                                QString(),
                                QString(),
                                AlignStepResult::outcomeText(AlignStepResult::Outcome::Waiting)};
        for (int c = 0; c < ColumnCount; ++c)
            TableSteps->setItem(i, c, new QTableWidgetItem(texts.at(c)));
    }
}

void FormAutoAlign::showStep(int index)
{
    const AlignStepResult &s = m_run->result().steps.at(index);
    auto set = [this, index](int column, const QString &text) {
        TableSteps->item(index, column)->setText(text);
    };
    set(ColTry, s.tries.isEmpty() ? QString() : QString::number(s.tries.size()));
    const bool done = s.outcome != AlignStepResult::Outcome::Running;
    if (done) {
        set(ColNow, QStringLiteral("%1 -> %2").arg(s.oldValue).arg(s.newValue));
    } else {
        set(ColNow, s.tries.isEmpty() ? QString::number(s.oldValue)
                                      : QString::number(s.tries.last().value));
    }
    const std::optional<double> shown = done && s.newReading ? s.newReading
                                        : s.tries.isEmpty()
                                            ? std::nullopt
                                            : std::optional<double>(s.tries.last().reading);
    set(ColReading,
        shown ? QStringLiteral("%1 %2").arg(number(*shown), s.step.unit).trimmed() : QString());
    QString result = AlignStepResult::outcomeText(s.outcome);
    if (!s.why.isEmpty())
        result += QStringLiteral(": ") + s.why;
    set(ColResult, result);
    TableSteps->scrollToItem(TableSteps->item(index, 0));
}

bool FormAutoAlign::saveReportTo(const QString &path)
{
    if (!m_result)
        return false;
    QString error;
    if (AlignReport::write(*m_result, path, &error))
        return true;
    fail(tr("The report could not be saved to %1.").arg(path) + QStringLiteral("\n\n") + error);
    return false;
}

void FormAutoAlign::SaveReport()
{
    if (!m_result)
        return;
    QString path = QFileDialog::getSaveFileName(
        this, tr("Save Report"), QString(),
        tr("PDF report (*.pdf);;HTML report (*.html);;JSON report (*.json)"));
    if (path.isEmpty())
        return;
    if (!AlignReport::formatFor(path))
        path += QStringLiteral(".pdf");
    saveReportTo(path);
}

void FormAutoAlign::closeEvent(QCloseEvent *event)
{
    // A run left behind would key the transmitter with nobody watching.
    Stop();
    event->accept();
}

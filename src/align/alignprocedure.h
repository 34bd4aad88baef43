#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What the alignment needs to know about a value a procedure names; the command line's value
// names are resolved outside this library so that it depends on nothing above it.
struct AlignValueInfo
{
    QString name; // the canonical name
    int word = -1;
    int rangeLow = 0; // the edit range a try stays within
    int rangeHigh = 0;
    bool transmit = false; // a live frame of it keys the transmitter
};

// Null when the text names no value that can be set live one word at a time.
using AlignValueResolver = std::function<std::optional<AlignValueInfo>(const QString &text)>;
// The closest known name to a text, or empty when nothing comes close.
using AlignNameSuggester = std::function<QString(const QString &text)>;

struct AlignStep
{
    AlignValueInfo value;
    QStringList setup;   // sent to the instrument before the step's first try
    QString measure;     // the query whose reply is the reading
    double target = 0.0; // target and limits in the instrument's unit
    double low = 0.0;
    double high = 0.0;
    QString unit;
    int txSeconds = 0; // 0 for a value that does not key the transmitter
    int settleMs = 300;
    int maxTries = 12;

    static constexpr int DefaultSettleMs = 300;
    static constexpr int DefaultMaxTries = 12;
    static constexpr int MaxSettleMs = 60000;
    static constexpr int MaxMaxTries = 100;
};

struct ParsedProcedure;

struct AlignProcedure
{
    Q_DECLARE_TR_FUNCTIONS(AlignProcedure)

public:
    QString name;
    QList<AlignStep> steps;

    // A procedure file is JSON: {"name": ..., "steps": [{"value": ..., "measure": ..., ...}]};
    // any key it does not know is refused, so a misspelt option never goes unnoticed.
    static ParsedProcedure parse(const QByteArray &json, const AlignValueResolver &resolve,
                                 const AlignNameSuggester &suggest = {});
    static ParsedProcedure load(const QString &path, const AlignValueResolver &resolve,
                                const AlignNameSuggester &suggest = {});

    // The candidate nearest to text within a few typing errors; empty when none is near. For a
    // suggester over the names a resolver knows.
    static QString closestName(const QString &text, const QStringList &candidates);

    // A procedure file larger than this is not one.
    static constexpr qint64 MaxFileSize = 1024 * 1024;
};

struct ParsedProcedure
{
    std::optional<AlignProcedure> procedure;
    QString error; // in the current language; empty when the procedure was taken
};

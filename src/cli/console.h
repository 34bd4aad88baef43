#pragma once

#include <QString>
#include <QTextStream>

// The three standard streams of the command line. Messages and progress go to standard error, so
// standard output carries only results a script reads.
namespace Console {

enum class Stream { In, Out, Err };

// True when the stream is an interactive terminal rather than a file or a pipe.
bool isTerminal(Stream stream);

QTextStream &out();
QTextStream &err();
// One line typed at the terminal, without its line end; empty at the end of the input.
QString readLine();

} // namespace Console

#pragma once

#include <QByteArray>

class RadioImage;

enum class RequestOperation : quint8 { Read = 4, Write = 5 };

// One request of a transfer and the length of the reply that answers it.
struct RequestFrame
{
    static constexpr int HeaderSize = 8;
    static constexpr char Tag[] = "TUNE";

    QByteArray bytes;
    int expectedReplyLength = 0;
};

// The eight bytes every frame to the radio starts with: "TUNE", the operation or command, the
// first word address (low byte, then high byte) and the word count.
QByteArray requestHeader(int operation, int firstWord, int count);

// The reply to a read carries the acknowledgement and four bytes per word; a write is only
// acknowledged.
int expectedReplyLength(RequestOperation operation, int count);

// A write frame carries the image words firstWord .. firstWord + count - 1 byte for byte as the
// image stores them, because the radio's wire order is the image's storage order.
RequestFrame buildRequestFrame(RequestOperation operation, int firstWord, int count,
                               const RadioImage &image);
// The same into a buffer of the caller's, replacing what it held; returns the reply's length.
int buildRequestFrame(QByteArray &into, RequestOperation operation, int firstWord, int count,
                      const RadioImage &image);

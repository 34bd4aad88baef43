#include "requestframe.h"

#include "radioimage.h"

int expectedReplyLength(RequestOperation operation, int count)
{
    return operation == RequestOperation::Read ? 4 * count + 1 : 1;
}

namespace {

void appendRequestHeader(QByteArray &into, int operation, int firstWord, int count)
{
    Q_ASSERT(firstWord >= 0 && firstWord < 65536);
    Q_ASSERT(count >= 0 && count <= 255);
    into.reserve(into.size() + RequestFrame::HeaderSize + 4 * count);
    into.append(RequestFrame::Tag, 4);
    into.append(static_cast<char>(operation & 0xFF));
    into.append(static_cast<char>(firstWord & 0xFF));
    into.append(static_cast<char>((firstWord / 256) & 0xFF));
    into.append(static_cast<char>(count & 0xFF));
}

} // namespace

QByteArray requestHeader(int operation, int firstWord, int count)
{
    QByteArray header;
    appendRequestHeader(header, operation, firstWord, count);
    return header;
}

RequestFrame buildRequestFrame(RequestOperation operation, int firstWord, int count,
                               const RadioImage &image)
{
    RequestFrame frame;
    frame.expectedReplyLength = buildRequestFrame(frame.bytes, operation, firstWord, count, image);
    return frame;
}

int buildRequestFrame(QByteArray &into, RequestOperation operation, int firstWord, int count,
                      const RadioImage &image)
{
    into.resize(0); // keeps its capacity: a transfer sends hundreds of frames
    appendRequestHeader(into, static_cast<int>(operation), firstWord, count);
    if (operation == RequestOperation::Write) {
        for (int w = firstWord; w < firstWord + count; ++w) {
            for (int i = 0; i < 4; ++i) {
                const int index = 4 * w + i;
                // Words past the image cannot exist in a transfer; they go out as zeros rather
                // than reading beyond the image.
                const bool inside = index >= 0 && index < RadioImage::Size;
                into.append(static_cast<char>(inside ? image.byteAt(index) : 0));
            }
        }
    }
    return expectedReplyLength(operation, count);
}

#include "requestframe.h"

#include "radioimage.h"

int expectedReplyLength(RequestOperation operation, int count)
{
    return operation == RequestOperation::Read ? 4 * count + 1 : 1;
}

QByteArray requestHeader(int operation, int firstWord, int count)
{
    Q_ASSERT(firstWord >= 0 && firstWord < 65536);
    Q_ASSERT(count >= 0 && count <= 255);
    QByteArray header;
    header.reserve(RequestFrame::HeaderSize + 4 * count);
    header.append(RequestFrame::Tag, 4);
    header.append(static_cast<char>(operation & 0xFF));
    header.append(static_cast<char>(firstWord & 0xFF));
    header.append(static_cast<char>((firstWord / 256) & 0xFF));
    header.append(static_cast<char>(count & 0xFF));
    return header;
}

RequestFrame buildRequestFrame(RequestOperation operation, int firstWord, int count,
                               const RadioImage &image)
{
    RequestFrame frame;
    frame.bytes = requestHeader(static_cast<int>(operation), firstWord, count);

    if (operation == RequestOperation::Write) {
        for (int w = firstWord; w < firstWord + count; ++w) {
            for (int i = 0; i < 4; ++i) {
                const int index = 4 * w + i;
                // Words past the image cannot exist in a transfer; they go out as zeros rather
                // than reading beyond the image.
                const bool inside = index >= 0 && index < RadioImage::Size;
                frame.bytes.append(static_cast<char>(inside ? image.byteAt(index) : 0));
            }
        }
    }
    frame.expectedReplyLength = expectedReplyLength(operation, count);
    return frame;
}

#include "requestframe.h"

#include "radioimage.h"

int expectedReplyLength(RequestOperation operation, int count)
{
    return operation == RequestOperation::Read ? 4 * count + 1 : 1;
}

RequestFrame buildRequestFrame(RequestOperation operation, int firstWord, int count,
                               const RadioImage &image)
{
    Q_ASSERT(firstWord >= 0 && firstWord < 65536);
    Q_ASSERT(count >= 0 && count <= 255);

    RequestFrame frame;
    frame.bytes.reserve(RequestFrame::HeaderSize + 4 * count);
    frame.bytes.append(RequestFrame::Tag, 4);
    frame.bytes.append(static_cast<char>(operation));
    frame.bytes.append(static_cast<char>(firstWord & 0xFF));
    frame.bytes.append(static_cast<char>((firstWord / 256) & 0xFF));
    frame.bytes.append(static_cast<char>(count & 0xFF));

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

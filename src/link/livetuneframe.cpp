#include "livetuneframe.h"

#include "imagemap.h"

#include "radioimage.h"
#include "requestframe.h"

namespace LiveTune {

bool isTransmitWord(int w)
{
    return ImageMap::isTransmitWord(w);
}

int tuneDataCommand(int wordAddress, int txTimeIndex)
{
    if (!isTransmitWord(wordAddress) || txTimeIndex < 0 || txTimeIndex > 9)
        return PlainCommand;
    return (txTimeIndex + 1) * 16 + PlainCommand;
}

int squelchFrameAddress(int firstWord)
{
    switch (firstWord) {
    case 276:
        return 246;
    case 278:
        return 128;
    default:
        return firstWord;
    }
}

QByteArray buildLiveTuneFrame(int command, int frameAddress, int firstWord, int count,
                              const RadioImage &image)
{
    QByteArray frame = requestHeader(command, frameAddress, count);
    for (int i = 0; i < count; ++i) {
        const RadioImage::WordBytes bytes
            = RadioImage::WordToBytes(image.ReadImageWord(firstWord + i));
        frame.append(reinterpret_cast<const char *>(bytes.data()), 4);
    }
    return frame;
}

QByteArray tuneDataFrame(int wordAddress, int txTimeIndex, const RadioImage &image)
{
    return buildLiveTuneFrame(tuneDataCommand(wordAddress, txTimeIndex), wordAddress, wordAddress,
                              1, image);
}

QByteArray squelchTestFrame(int firstWord, const RadioImage &image)
{
    return buildLiveTuneFrame(SquelchCommand, squelchFrameAddress(firstWord), firstWord, 2, image);
}

int keyedSeconds(const QByteArray &frame)
{
    // "TUNE", then the command.
    constexpr int CommandOffset = 4;
    if (frame.size() <= CommandOffset)
        return 0;
    const int command = static_cast<unsigned char>(frame.at(CommandOffset));
    if ((command & 0x0F) != PlainCommand)
        return 0;
    return command >> 4;
}

} // namespace LiveTune

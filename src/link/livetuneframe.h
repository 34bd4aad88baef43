#pragma once

#include <QByteArray>

class RadioImage;

// The live tune frame: the request header of a transfer ("TUNE", command, address low and high,
// count) followed by count words of the image as they stand when the frame is built. No answer
// is awaited.
namespace LiveTune {

// Command of every squelch-window Test frame.
inline constexpr int SquelchCommand = 6;
// Command of a frame that does not key the transmitter.
inline constexpr int PlainCommand = 2;

// Words below 64, 71 to 74 and 80 to 127 key the transmitter when sent live.
bool isTransmitWord(int wordAddress);

// The tune data window's command for a word: transmit words carry the transmit time (list index
// txTimeIndex 0..9 for 1..10 seconds) in the high nibble; -1 (nothing selected) and every other
// word give 2.
int tuneDataCommand(int wordAddress, int txTimeIndex);

// The squelch window sends the reference pairs in the place of the first pair of their table:
// 276 goes to 246 (AM), 278 to 128 (FM); any other first word is its own address.
int squelchFrameAddress(int firstWord);

// count words of the image from firstWord, sent to frameAddress with command.
QByteArray buildLiveTuneFrame(int command, int frameAddress, int firstWord, int count,
                              const RadioImage &image);

// The frame the tune data window sends for one word.
QByteArray tuneDataFrame(int wordAddress, int txTimeIndex, const RadioImage &image);
// The frame a Test of the squelch window sends for the pair starting at firstWord.
QByteArray squelchTestFrame(int firstWord, const RadioImage &image);

// The seconds a frame keys the transmitter for, read from its own command byte: the high nibble
// of a tune data command; 0 for any frame that does not key.
int keyedSeconds(const QByteArray &frame);

} // namespace LiveTune

#include "demoimage.h"

#include "radioimage.h"

QByteArray demoImage()
{
    RadioImage image;
    image.WriteImageWord(0, -18);

    // Power climbs with the level and a little with the band; deviation likewise, the FM
    // deviations on their wider scale. Each mode sits a few points apart from the others.
    const int modeOffset[] = {0, -5, 2, 1}; // FM, AM, USB, LSB
    const int powerBase[] = {25, 55, 85};
    for (int row = 0; row < 36; ++row) {
        const int mode = row / 9;
        const int band = (row / 3) % 3;
        const int level = row % 3;
        const int powerWord = row < 18 ? 16 + 2 * row : 80 + 2 * (row - 18);
        image.WriteImageWord(powerWord, powerBase[level] + 3 * band + modeOffset[mode]);
        const int deviation
            = mode == 0 ? 140 + 8 * band + 2 * level : 60 + 4 * band + 2 * level - modeOffset[mode];
        image.WriteImageWord(powerWord + 1, deviation);
    }

    const int bps[] = {48, 52, 57};
    const int squelch[] = {35, 38, 42};
    for (int j = 0; j < 3; ++j) {
        image.WriteImageWord(61 + j, bps[j]);
        image.WriteImageWord(64 + j, squelch[j]);
    }
    // AM, FM, PA, TB in 67 to 70; USB and LSB in 76 and 77.
    const int volumes[] = {62, 68, 80, 55, 64, 63};
    for (int j = 0; j < 6; ++j)
        image.WriteImageWord(j <= 3 ? 67 + j : 76 + (j - 4), volumes[j]);
    // FM, AM, USB, LSB and PA microphones.
    const int mics[] = {58, 52, 47, 48, 70};
    for (int j = 0; j < 5; ++j)
        image.WriteImageWord(71 + j, mics[j]);

    // Squelch table: FM automatic levels 1-15, squelch levels 1-44, AM automatic levels 1-15,
    // each an opening threshold and a closing one a little below it.
    for (int i = 0; i < 15; ++i) {
        image.WriteImageWord(128 + 2 * i, 20 + 4 * i);
        image.WriteImageWord(129 + 2 * i, 17 + 4 * i);
        image.WriteImageWord(246 + 2 * i, 25 + 4 * i);
        image.WriteImageWord(247 + 2 * i, 21 + 4 * i);
    }
    for (int i = 0; i < 44; ++i) {
        image.WriteImageWord(158 + 2 * i, 10 + 2 * i);
        image.WriteImageWord(159 + 2 * i, 8 + 2 * i);
    }
    // The reference pairs: AM in 276/277, FM in 278/279.
    image.WriteImageWord(276, 27);
    image.WriteImageWord(277, 23);
    image.WriteImageWord(278, 22);
    image.WriteImageWord(279, 19);
    return image.toByteArray();
}

#include "tunefont.h"

#include <QStringList>

QFont tuneWindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK")});
    font.setPointSize(9);
    // Whole-pixel glyphs, as Windows draws 宋体 9: crisp at this size, and each glyph is rendered
    // once rather than at every sub-pixel offset, which was most of the cost of the first paint.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

#include "tunefont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

// The families asked for, in order, that this system has under that name or an alias. Asking for
// one it lacks makes the font system search the fallbacks of that name, whether or not another
// one is there, and that search costs more than asking whether the family is there.
const QStringList &availableFamilies()
{
    static const QStringList families = [] {
        const QStringList wanted{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                 QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("WenQuanYi Micro Hei"),
                                 QStringLiteral("Noto Sans CJK")};
        QStringList present;
        for (const QString &family : wanted) {
            if (QFontDatabase::hasFamily(family))
                present << family;
        }
        // None of them: ask for them all and let the system choose as it always did.
        return present.isEmpty() ? wanted : present;
    }();
    return families;
}

} // namespace

QFont tuneWindowFont()
{
    QFont font;
    font.setFamilies(availableFamilies());
    font.setPointSize(9);
    // Whole-pixel glyphs, as Windows draws 宋体 9: crisp at this size, and each glyph is rendered
    // once rather than at every sub-pixel offset, which was most of the cost of the first paint.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

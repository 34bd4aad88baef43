#include "tunefont.h"

#include <QStringList>

QFont tuneWindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK")});
    font.setPointSize(9);
    return font;
}

#pragma once

#include <QIcon>

// The program's icon, drawn rather than shipped so it stays sharp at every size.
QIcon appIcon();

// The toolbar's pictures, drawn at the size the toolbar asks for: the style's own come from
// image files at three sizes each, all decoded when the icon is made, which slowed start-up. The
// Help button is a question mark that cannot be mistaken for a close button.
enum class ToolIcon { New, Open, Save, Read, Port, Write, Help };
QIcon toolIcon(ToolIcon which);

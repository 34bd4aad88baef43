#pragma once

#include <QIcon>

// The program's icon, drawn rather than shipped so it stays sharp at every size.
QIcon appIcon();

// The toolbar's Help button: a question mark that cannot be mistaken for a close button.
QIcon helpIcon();

#pragma once

#include <QIcon>

// The program's icon, drawn rather than shipped so it stays sharp at every size.
QIcon appIcon();

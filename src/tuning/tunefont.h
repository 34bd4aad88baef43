#pragma once

#include <QFont>

// "宋体" size 9, falling back to the CJK fonts a Linux system has, so Chinese always renders.
QFont tuneWindowFont();

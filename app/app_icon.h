#pragma once

#include <QIcon>

// The window icon, from the program's resources.
QIcon AppIcon();

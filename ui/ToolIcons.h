// Icons of the tool bar's commands: the desktop theme's, else one drawn here.
#pragma once

#include <QIcon>

#include "ui/Commands.h"

QIcon CommandIcon(const CommandInfo& command);
// The program's own icon (velsona.svg among the window's resources).
QIcon ProgramIcon();

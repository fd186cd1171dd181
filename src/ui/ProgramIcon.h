// The program's icon: a small tree of nodes over a magnifying lens, drawn at every size asked
// so that it stays sharp on any screen.
#pragma once

#include <QIcon>

QIcon ProgramIcon();

// The program's icon, painted at any size: an aircraft seen from above on a blue tile, climbing
// away from the dashed track it has flown.
#pragma once

#include <QIcon>
#include <QImage>

namespace sky::ui {

QImage SkytraceIconImage(int pixels);
// The icon at the sizes windows, task bars and the tray ask for.
QIcon SkytraceIcon();

}  // namespace sky::ui

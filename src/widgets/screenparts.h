#pragma once

#include <QStringList>

class QIcon;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace varnock::ScreenParts {

// Makes `label` the screen's heading ("Label1"): large, bold, centred.
void styleHeading(QLabel *label);
// The signature line under a voucher: a caption and a field to write in for each.
QHBoxLayout *signatures(const QStringList &captions, QWidget *screen);
// Closes a working screen; inside the main window its sub-window frame is what closes (and
// asks the screen first).
void close(QWidget *screen);
// The program's own icon, for its windows and sub-windows.
QIcon programIcon();

} // namespace varnock::ScreenParts

#pragma once

#include <QString>

class QWidget;

namespace varnock {

class HelpWindow;

// F1 and the help menu. Every screen gets its help the same way:
//
//     Help::install(this, QStringLiteral("日志浏览"));
//
// in its constructor. F1 anywhere inside the screen then opens the help window at that topic;
// the innermost screen with a topic wins, so a screen inside the main window shows its own
// page, not the main window's.
namespace Help {

// Gives `screen` its topic.
void install(QWidget *screen, const QString &topic);
// The topic F1 opens for a widget: its own or that of the nearest screen around it.
QString topicOf(const QWidget *widget);

void showTopic(const QString &topic);
void showContents();
void showHowTo();
// The help window while it is open; nullptr otherwise.
HelpWindow *window();
void closeWindow();

} // namespace Help
} // namespace varnock

#pragma once
#include <QString>
#include <QUrl>

class QWidget;

namespace quillon::ui {

// Where the manual lives inside the program.
QUrl ManualUrl(const QString& pageAndAnchor);

// The manual's page (with its anchor) for a window or dialog, found by its
// title, then by its object name, then by its class; the contents page for
// a window the manual does not know. Titles are the texts the user sees, so
// they are the most reliable key; the other two cover windows whose title
// changes with what they show (the main window, the progress window).
QString HelpTopicForTitle(const QString& title);
QString HelpTopicFor(const QWidget* window);

// The entry of a menu command (by its command id) in the manual's command
// reference, or an empty text for an id it does not describe.
QString HelpTopicForCommand(int commandId);

}  // namespace quillon::ui

#pragma once

#include <QString>

#include <exception>
#include <functional>

class QWidget;

// The program's title: the caption of every error box.
inline const QString ApplicationTitle = QStringLiteral("Lapora2");

// The error box text: the message with a full stop added when its last
// character sorts after ".".
QString errorText(const QString& message);

// The one way an error reaches the user: an error box titled "Lapora2" over
// the active window. The program then goes on.
void showError(const std::exception& error);

// Runs the body of a command or of an event handler's entry. An error it
// raises is shown and goes no further, so that no exception travels through
// Qt's signals and events. False when it failed.
template <class Body>
bool guarded(Body&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        showError(error);
        return false;
    }
}

// What shows the box: Qt's message box unless a test put a recorder there.
using ErrorPresenter = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
void setErrorPresenter(ErrorPresenter presenter);  // an empty one goes back to the message box

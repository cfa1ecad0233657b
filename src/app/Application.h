#pragma once

#include <QApplication>

#include <exception>

class QWheelEvent;

// The program's title: the caption of every error box.
inline const QString ApplicationTitle = QStringLiteral("Lapora2");

// The application object. Every error that a command or event handler lets
// escape is shown here, in one place, and the program goes on; every mouse
// wheel turn becomes an arrow key press.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The error box text: the message with a full stop added when its last
// character sorts after ".".
QString errorText(const QString& message);

// Shows an error the way the application object does: an error box titled
// "Lapora2" over the active window.
void showError(const std::exception& error);

// The arrow key one wheel turn stands for: forward is Up, backward (and a
// turn of no distance) Down.
Qt::Key wheelKey(int delta);

// Turns every wheel event delivered to a widget into one arrow key press for
// the widget with the keyboard focus (the wheel's own widget when nothing has
// it). The key takes the way a typed one does, short-cuts first.
class WheelToArrowKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void pressArrow(QWidget* receiver, const QWheelEvent& wheel);
};

// Qt's own Hungarian texts (standard buttons, file and colour dialogs).
// False when the translation file is missing; the program then runs with
// Qt's English texts.
bool installHungarianTranslation();

#pragma once

#include <QApplication>

class QWheelEvent;

// The application object: its title, its picture, Qt's Hungarian texts, and
// every mouse wheel turn made an arrow key press.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int& argc, char** argv);
};

// The arrow key one wheel turn stands for: forward is Up, backward (and a
// turn of no distance) Down.
Qt::Key wheelKey(int delta);

// Turns every wheel event delivered to a widget into one arrow key press for
// the widget with the keyboard focus (the wheel's own widget when nothing has
// it). The key takes the way a typed one does, short-cuts first. Over a card
// window's card the wheel stays a wheel with Ctrl (zoom) and where the card
// box scrolls, and it never moves a layer through the focused card.
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

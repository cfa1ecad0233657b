#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// The common dialogs and the question box, behind one interface so that
// tests can answer them; errors have their one box of their own. The
// program uses the Qt ones (QtDialogs); tests install a scripted fake with
// setDialogs().
class Dialogs
{
public:
    enum class Answer { Yes, No, Cancel };

    // A file dialog's settings; it remembers the last file name chosen.
    struct FileDialog
    {
        QString filter;         // "Description (*.ext)|*.ext|..."
        QString defaultSuffix;  // added to a name typed without one
        QString fileName;       // proposed name; the chosen one afterwards
    };

    virtual ~Dialogs() = default;

    virtual std::optional<QString> openFile(QWidget* parent, FileDialog& dialog) = 0;
    // Replaces an existing file without asking.
    virtual std::optional<QString> saveFile(QWidget* parent, FileDialog& dialog) = 0;
    virtual std::optional<QString> openPicture(QWidget* parent, const QString& filter) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // A font with its colour; underline and strike-out included.
    virtual std::optional<std::pair<QFont, QColor>> chooseFont(QWidget* parent, const QFont& initial,
                                                               const QColor& color) = 0;
    // Yes, No and Cancel with Yes the default, a question icon.
    virtual Answer question(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The dialogs in use; the Qt ones unless a test installed others.
Dialogs& dialogs();
void setDialogs(Dialogs* replacement);  // nullptr goes back to the Qt ones

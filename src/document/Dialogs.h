#pragma once

#include "merge/QrCode.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QSize>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class QWidget;

// What the program does with a picture far finer than its box prints: asks
// each time, or reduces it, or keeps it whole, as the user chose to have it
// remembered.
enum class LargePictures { Ask, Reduce, Keep };

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

    // A text layer's font as the font dialog shows and returns it: the face
    // by the name the card stores, the size in points.
    struct FontChoice
    {
        QString family;
        int points = 8;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        QColor color;

        friend bool operator==(const FontChoice&, const FontChoice&) = default;
    };

    virtual ~Dialogs() = default;

    virtual std::optional<QString> openFile(QWidget* parent, FileDialog& dialog) = 0;
    // Replaces an existing file without asking.
    virtual std::optional<QString> saveFile(QWidget* parent, FileDialog& dialog) = 0;
    virtual std::optional<QString> openPicture(QWidget* parent, const QString& filter) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // A font with its colour; underline and strike-out included. OK with
    // nothing changed gives back exactly what it was given.
    virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;
    // What a QR layer says, shown with the code it makes at a box of that
    // side (card pixels); nothing when cancelled.
    virtual std::optional<QrContents> editQr(QWidget* parent, const QrContents& initial, double boxPixels) = 0;
    // Yes, No and Cancel with Yes the default, a question icon.
    virtual Answer question(QWidget* parent, const QString& title, const QString& text) = 0;

    // "Kép kicsinyítése": a picture placed in a box far smaller than it is,
    // its size in pixels and bytes as it is and as it would be stored
    // reduced. The answer: reduce it or keep it whole, and whether not to
    // ask again. Closing the box keeps the picture whole.
    struct ReductionOffer
    {
        QSize pixels;
        std::size_t bytes = 0;
        QSize reducedPixels;
        std::size_t reducedBytes = 0;
    };
    struct ReductionChoice
    {
        bool reduce = false;
        bool remember = false;
    };
    virtual ReductionChoice offerReduction(QWidget* parent, const ReductionOffer& offer) = 0;

    // The cards a run that did not end cleanly left unsaved, by title and
    // time of the copy: which to open (the rest are discarded), or nothing
    // when the user closed the dialog and they are kept for the next start.
    struct RecoveredCard
    {
        QString title;
        QDateTime written;
    };
    virtual std::optional<std::vector<bool>> chooseRecovered(QWidget* parent,
                                                            const std::vector<RecoveredCard>& cards) = 0;
};

// The dialogs in use; the Qt ones unless a test installed others.
Dialogs& dialogs();
void setDialogs(Dialogs* replacement);  // nullptr goes back to the Qt ones

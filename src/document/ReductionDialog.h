#pragma once

#include "document/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// "Kép kicsinyítése": a picture far finer than its box prints, with its
// size now and reduced, in pixels and in bytes. "Kicsinyítés" stores it
// reduced, "Eredeti megtartása" (the close box too) keeps it whole; "Ne
// kérdezze többé" remembers the answer for the pictures to come.
class ReductionDialog : public QDialog
{
    Q_OBJECT

public:
    ReductionDialog(QWidget* parent, const Dialogs::ReductionOffer& offer);

    static Dialogs::ReductionChoice run(QWidget* parent, const Dialogs::ReductionOffer& offer);

    Dialogs::ReductionChoice choice() const;

    // Named parts, for the tests.
    QLabel* text() const { return mText; }
    QPushButton* reduceButton() const { return mReduce; }
    QPushButton* keepButton() const { return mKeep; }
    QCheckBox* rememberBox() const { return mRemember; }

private:
    QLabel* mText;
    QPushButton* mReduce;
    QPushButton* mKeep;
    QCheckBox* mRemember;
    bool mAnswered = false;
    bool mReduced = false;
};

// A file's size as the dialog writes it: megabytes with one decimal and a
// decimal comma ("7,4 MB"), below a tenth of one whole kilobytes ("85 kB").
QString shownFileSize(std::size_t bytes);

// The dialog's text for an offer.
QString reductionText(const Dialogs::ReductionOffer& offer);

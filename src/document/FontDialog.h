#pragma once

#include "document/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The font dialog of a text layer: face, size, bold, italic, underline,
// strike-out and colour. It starts from exactly what it is given and gives
// it back unchanged when the user changes nothing: a face the system
// resolves to another one (Arial drawn with a metric-compatible face) stays
// the face the card names, and a size the list does not offer stays too.
// Only names a card file can store can be chosen or typed.
class FontDialog : public QDialog
{
    Q_OBJECT

public:
    FontDialog(QWidget* parent, const Dialogs::FontChoice& initial);

    Dialogs::FontChoice choice() const;

    // Named parts, for the tests.
    QLineEdit* faceEdit() const { return mFace; }
    QListWidget* faceList() const { return mFaces; }
    QLineEdit* sizeEdit() const { return mSize; }
    QCheckBox* boldBox() const { return mBold; }
    QCheckBox* italicBox() const { return mItalic; }
    QCheckBox* underlineBox() const { return mUnderline; }
    QCheckBox* strikeOutBox() const { return mStrikeOut; }

private:
    void faceTyped(const QString& text);
    void sizeTyped(const QString& text);
    void showSample();
    void showColor();
    void chooseColor();

    Dialogs::FontChoice mInitial;
    QColor mColor;
    QLineEdit* mFace;
    QListWidget* mFaces;
    QLineEdit* mSize;
    QListWidget* mSizes;
    QCheckBox* mBold;
    QCheckBox* mItalic;
    QCheckBox* mUnderline;
    QCheckBox* mStrikeOut;
    QPushButton* mColorButton;
    QLabel* mSample;
    QPushButton* mOk = nullptr;
};

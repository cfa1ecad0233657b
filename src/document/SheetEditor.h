#pragma once

#include "print/SheetLayout.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class SheetPicker;

// "Egyéni lap": a card stock layout of the user's own. Its name, paper,
// grid, the first stock card's corner, the pitch, the stock card's size
// (the pitch where it is left empty) and the cut marks, with a picture of
// the sheet that follows every change and says what is wrong with it.
// "Mentés" saves it in the settings file of the saved layouts, refusing a
// layout that cannot be printed and a name that is taken.
class SheetEditor : public QDialog
{
    Q_OBJECT

public:
    // A new layout starting from the geometry of one shown (its name is not
    // taken over), or a saved one to change (edited true).
    SheetEditor(QWidget* parent, const SheetLayout& start, bool edited);

    // The layout as the fields give it; nothing where a size is no number.
    std::optional<SheetLayout> layout() const;
    // What is wrong with the fields, in one line; empty for a good layout.
    QString fault() const;
    // The name it was saved under, once saved.
    const QString& savedName() const { return mSavedName; }

    // Named parts, for the tests.
    QLineEdit* name() const { return mName; }
    QComboBox* paper() const { return mPaper; }
    QSpinBox* columns() const { return mColumns; }
    QSpinBox* rows() const { return mRows; }
    QDoubleSpinBox* left() const { return mLeft; }
    QDoubleSpinBox* top() const { return mTop; }
    QDoubleSpinBox* dx() const { return mDx; }
    QDoubleSpinBox* dy() const { return mDy; }
    QLineEdit* width() const { return mWidth; }
    QLineEdit* height() const { return mHeight; }
    QCheckBox* marks() const { return mMarks; }
    SheetPicker* picture() const { return mPicture; }
    QLabel* faultNote() const { return mFault; }

    // Saves the layout and closes the dialog; a SheetError with the one
    // message the user reads where it cannot be saved.
    void save();

private:
    void fieldsChanged();

    QString mOriginalName;
    QString mSavedName;
    QLineEdit* mName;
    QComboBox* mPaper;
    QSpinBox* mColumns;
    QSpinBox* mRows;
    QDoubleSpinBox* mLeft;
    QDoubleSpinBox* mTop;
    QDoubleSpinBox* mDx;
    QDoubleSpinBox* mDy;
    QLineEdit* mWidth;
    QLineEdit* mHeight;
    QCheckBox* mMarks;
    SheetPicker* mPicture;
    QLabel* mFault;
};

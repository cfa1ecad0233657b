#pragma once

#include "print/SheetLayout.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class SheetEditor;
class SheetPicker;

// "Nyomtatás": printing on card stock. The printer (the system's queues,
// the default one first), the stock's layout, the number of cards, the first free position of
// the first sheet, a back side (none, an open card window, or a card file)
// with the edge the sheet is turned over, and the printer's calibration,
// which "Kalibrálás..." measures. The printer's calibration is kept when
// the dialog is left for printing, the preview or a PDF.
class PrintDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Action { Print, Preview, Pdf };

    struct Choice
    {
        Action action = Action::Print;
        QString printer;
        SheetLayout sheet;
        int copies = sheet::Copies;
        int start = 1;
        int backCard = -1;  // an open card window, by its place in the list given
        QString backFile;   // or a card file
        sheet::Flip flip = sheet::Flip::Long;
        sheet::PrinterCalibration calibration;
        bool calibratePdf = false;
        QString pdfFile;
    };

    // The open card windows' titles, as the back may be one of them.
    PrintDialog(QWidget* parent, const QStringList& openCards);

    Choice choice() const;

    // The layout the dialog opens with: the one last printed on with the
    // first printer it offers, else the program's own sheet.
    static SheetLayout openingSheet();
    // The system's printers, the default one first.
    static QStringList printerNames();

    // For the cards of a merge: their number is the list's, shown and not
    // changed here, and the button the merge dialog's matches is the
    // default one.
    void setMergeCards(int cards, Action preferred);

    // "Előnézet" shows the job as chosen so far and comes back to the dialog
    // with every setting as it was; without this, it leaves the dialog as
    // the other buttons do.
    void setPreview(std::function<void(const Choice&)> preview) { mShowPreview = std::move(preview); }

    // The files the job reads (the card, the open cards, a data list): the
    // PDF may not be saved over any of them, nor over the back's file.
    void setInputFiles(const QStringList& files) { mInputFiles = files; }

    // Named parts, for the tests.
    QComboBox* printers() const { return mPrinter; }
    QComboBox* sheets() const { return mSheet; }
    QPushButton* newSheet() const { return mNewSheet; }
    QPushButton* editSheet() const { return mEditSheet; }
    QPushButton* deleteSheet() const { return mDeleteSheet; }
    QLabel* scaleNote() const { return mScaleNote; }
    QSpinBox* copies() const { return mCopies; }
    QSpinBox* start() const { return mStart; }
    SheetPicker* picker() const { return mPicker; }
    QComboBox* back() const { return mBack; }
    QPushButton* button(Action action) const;

    // Measures the printer: prints the calibration sheet on it, asks for the
    // readings and shows what they give before it is taken.
    void calibrate();

    // "Egyéni lap...", "Módosítás...", "Törlés": a layout of the user's
    // own, new or the chosen saved one, in the editor; the saved one chosen
    // removed after a question.
    void editSheet(bool edited);
    void removeSheet();

    // Opens the editor of a layout and gives its result; a test puts its
    // own there to answer in place of the user.
    using SheetEditorRun = std::function<int(SheetEditor&)>;
    static void setSheetEditorRun(SheetEditorRun run);

private:
    void printerChosen();
    void sheetChosen(int index);
    // The built-in layouts, then the saved ones, with one chosen by name
    // (else the first).
    void listSheets(const QString& chosen);
    const SheetLayout& chosenSheet() const;
    void backChosen(int index);
    void finish(Action action);
    void showCalibration(const sheet::PrinterCalibration& calibration);
    sheet::PrinterCalibration shownCalibration() const;

    QStringList mOpenCards;
    QStringList mInputFiles;
    std::function<void(const Choice&)> mShowPreview;
    QFormLayout* mForm = nullptr;
    QComboBox* mPrinter;
    QComboBox* mSheet;
    std::vector<SheetLayout> mSheets;
    QPushButton* mNewSheet;
    QPushButton* mEditSheet;
    QPushButton* mDeleteSheet;
    QLabel* mScaleNote;
    QSpinBox* mCopies;
    QSpinBox* mStart;
    SheetPicker* mPicker;
    QComboBox* mBack;
    QString mBackFile;
    QRadioButton* mLongEdge;
    QRadioButton* mShortEdge;
    QDoubleSpinBox* mFields[8];  // front offset x, y, scale x, y; back the same
    QCheckBox* mCalibratePdf;
    QPushButton* mCalibrate;
    QPushButton* mPrint;
    QPushButton* mPreview;
    QPushButton* mPdf;
    int mShownCards = sheet::Copies;
    Action mAction = Action::Print;
    QString mPdfFile;
    sheet::PrinterCalibration mStored;
};

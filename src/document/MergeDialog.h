#pragma once

#include "document/PrintDialog.h"
#include "merge/DataFile.h"
#include "merge/MergeTemplate.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class RecordTable;

// "Körlevél": a card for each person of a list. The data file (a CSV table
// or a vCard file of contacts), its records with a tick each (all ticked),
// the card with the selected record's values, the placeholders no column
// answers, and the number of cards of each person. Its "Nyomtatás...",
// "Előnézet" and "PDF mentése..." go on to the print dialog; the card it
// was made from never changes.
class MergeDialog : public QDialog
{
    Q_OBJECT

public:
    struct Choice
    {
        QString dataFile;
        std::shared_ptr<const RecordList> list;  // the file as the dialog read it
        std::vector<long long> records;  // the ticked ones, by place from 0; empty for all
        long long people = 0;
        int copiesEach = 10;
        PrintDialog::Action action = PrintDialog::Action::Print;
    };

    // card: the layers as printed; dataFile: a list to open at once, or a
    // path whose folder the first "Tallózás..." opens in, or none.
    MergeDialog(QWidget* parent, std::vector<LayerItem> card, const QString& dataFile = QString());
    ~MergeDialog() override;

    Choice choice() const;

    // Opens a data file; one that cannot be read says why and leaves the
    // dialog as it was.
    void openData(const QString& path);
    // The card as shown for the record at that row.
    std::vector<LayerItem> shownCard() const;
    // For a job of one card per person (the print shop's file): the number
    // of cards each and the buttons that go on to printing give way to one
    // "OK" that takes the people.
    void choosePeopleOnly();
    // The layout the cards go on, as the print dialog will open with it: the
    // number of sheets counts its cards, and a number each still at a whole
    // sheet stays a whole sheet of it.
    void setSheet(const SheetLayout& layout);

    // Named parts, for the tests.
    QTableView* records() const { return mTable; }
    QSpinBox* copiesEach() const { return mCopies; }
    QLabel* unknownLabel() const { return mUnknown; }
    // The people whose texts are drawn smaller, or fit at no size.
    QLabel* fitLabel() const { return mFit; }
    QLabel* summary() const { return mSummary; }
    QWidget* preview() const { return mPreview; }
    QPushButton* button(PrintDialog::Action action) const;

private:
    void browse();
    void selectionMoved();
    void update();
    void showFits();
    void finish(PrintDialog::Action action);

    MergeTemplate mTemplate;
    QString mDataFile;
    QString mStartFolder;
    QLineEdit* mPath;
    QPushButton* mBrowse;
    RecordTable* mModel;
    QTableView* mTable;
    QWidget* mPreview;
    QLabel* mUnknown;
    QLabel* mFit;
    QSpinBox* mCopies;
    QFormLayout* mCopiesForm = nullptr;
    QLabel* mSummary;
    QPushButton* mPrint;
    QPushButton* mPreviewButton;
    QPushButton* mPdf;
    PrintDialog::Action mAction = PrintDialog::Action::Print;
    bool mPeopleOnly = false;
    SheetLayout mSheet;
};

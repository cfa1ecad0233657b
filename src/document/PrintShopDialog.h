#pragma once

#include "document/Dialogs.h"
#include "document/PrintedCard.h"
#include "merge/MergedCards.h"
#include "print/PrintShop.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class Tfrm_Child;
struct PrintJob;

// "Nyomdai PDF": the active card as a print shop takes it, one card to a
// page with bleed and crop marks, in CMYK. A back side (none, an open card
// window or a card file), the bleed, the crop marks and, for a card per
// person, the people of a list as "Körlevél..." chooses them. What a
// shop's preflight would object to is listed as the choices change; a
// double-click on a warning selects its layer in the card window.
// "Mentés..." asks for the file and writes it under the job's progress
// window; the dialog closes once the file is written.
class PrintShopDialog : public QDialog
{
    Q_OBJECT

public:
    // What the dialog keeps from one opening to the next.
    struct Settings
    {
        double bleed = printshop::DefaultBleed;
        bool cropMarks = false;
        QString folder;  // where the last file went
    };

    // card: the active card window, whose card is taken as it is now;
    // openCards: the card windows a back may be; dataFile: the list a merge
    // opens first, or a path whose folder it starts in, or none.
    PrintShopDialog(QWidget* parent, Tfrm_Child& card, const QList<Tfrm_Child*>& openCards, const Settings& settings,
                    const QString& dataFile = QString());
    ~PrintShopDialog() override;

    // The settings as the last file was written with them.
    const Settings& settings() const { return mSettings; }
    printshop::Options options() const;
    // The list of the last merge chosen here; empty when none was.
    const QString& dataFile() const { return mDataFile; }

    // "Mentés...".
    void save();

    // Named parts, for the tests.
    QComboBox* back() const { return mBack; }
    QDoubleSpinBox* bleed() const { return mBleed; }
    QCheckBox* cropMarks() const { return mCropMarks; }
    QComboBox* merge() const { return mMerge; }
    QTreeWidget* findings() const { return mFindings; }
    QPushButton* saveButton() const { return mSave; }

private:
    void backChosen(int index);
    void takeBack();
    void mergeChosen(int index);
    void refreshFindings();
    void addFindings(const PrintedCard& card, const std::vector<printshop::Finding>& found, bool back);
    void findingChosen(QTreeWidgetItem* item);
    QString proposedFile() const;
    QString title() const;
    void refuseInput(const QString& path) const;
    PrintJob job() const;

    QPointer<Tfrm_Child> mCard;
    QList<QPointer<Tfrm_Child>> mOpenCards;
    PrintedCard mFront;
    Settings mSettings;

    QComboBox* mBack;
    int mBackIndex = 0;
    QString mBackFile;
    std::optional<PrintedCard> mFileBack;
    std::optional<PrintedCard> mBackCard;
    QPointer<Tfrm_Child> mBackWindow;

    QComboBox* mMerge;
    QString mDataFile;
    QString mDataStart;
    std::optional<MergeSource> mPeople;

    QDoubleSpinBox* mBleed;
    QCheckBox* mCropMarks;
    QTreeWidget* mFindings;
    QPushButton* mSave;
    Dialogs::FileDialog mOutput;
};

// What writes the shop's file; printshop::writePdf unless a test gives its
// own (an empty one: that one again).
using PrintShopWriter = std::function<bool(const PrintJob& job, const printshop::Options& options, const QString& title,
                                           const std::string& path, Progress& progress)>;
void setPrintShopWriter(PrintShopWriter writer);

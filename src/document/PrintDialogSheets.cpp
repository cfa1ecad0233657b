#include "document/PrintDialog.h"

#include "document/Dialogs.h"
#include "document/SheetEditor.h"
#include "document/SheetPicker.h"
#include "print/PrintJob.h"
#include "print/SavedSheets.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

// The print dialog's card stock: the built-in layouts and the user's own,
// and the editor of those.

namespace {

// The built-in layouts, then the saved ones that can be printed on.
std::vector<SheetLayout> knownSheets()
{
    std::vector<SheetLayout> sheets = builtInSheets();
    if (!savedSheetsFile().isEmpty()) {
        const std::vector<SheetLayout> saved = savedSheets(IniFile(savedSheetsFile()));
        sheets.insert(sheets.end(), saved.begin(), saved.end());
    }
    return sheets;
}

PrintDialog::SheetEditorRun& sheetEditorRun()
{
    static PrintDialog::SheetEditorRun run;
    return run;
}

} // namespace

// The picture, the start's range and the note on a shrunk card follow the
// layout; a number of copies still at a whole sheet stays a whole sheet.
void PrintDialog::sheetChosen(int index)
{
    if (index < 0)
        return;
    const SheetLayout& layout = mSheets[std::size_t(index)];
    mPicker->setSheet(layout);
    mStart->setRange(1, layout.cardCount());
    if (mCopies->isEnabled() && mCopies->value() == mShownCards)
        mCopies->setValue(layout.cardCount());
    mShownCards = layout.cardCount();
    const bool saved = index >= int(builtInSheets().size());
    mEditSheet->setEnabled(saved);
    mDeleteSheet->setEnabled(saved);
    const double scale = layout.cardScale();
    mScaleNote->setText(QStringLiteral("A kártya %1%-os méretben kerül a kartonra, hogy elférjen rajta.")
                            .arg(QLocale(QLocale::Hungarian).toString(scale * 100, 'f', 1)));
    mScaleNote->setVisible(scale < 1);
}

void PrintDialog::listSheets(const QString& chosen)
{
    mSheets = knownSheets();
    const QSignalBlocker quiet(mSheet);
    mSheet->clear();
    for (const SheetLayout& layout : mSheets)
        mSheet->addItem(layout.name);
    mSheet->setCurrentIndex(std::max(0, mSheet->findText(chosen, Qt::MatchFixedString)));
}

const SheetLayout& PrintDialog::chosenSheet() const
{
    return mSheets[std::size_t(std::clamp(mSheet->currentIndex(), 0, int(mSheets.size()) - 1))];
}

void PrintDialog::setSheetEditorRun(SheetEditorRun run)
{
    sheetEditorRun() = std::move(run);
}

// A new layout starts from the one chosen, so that a stock close to a
// known one takes a few changes.
void PrintDialog::editSheet(bool edited)
{
    SheetEditor editor(this, chosenSheet(), edited);
    const int result = sheetEditorRun() ? sheetEditorRun()(editor) : editor.exec();
    if (result != QDialog::Accepted)
        return;
    listSheets(editor.savedName());
    sheetChosen(mSheet->currentIndex());
}

void PrintDialog::removeSheet()
{
    const QString name = chosenSheet().name;
    if (isBuiltInSheet(name))
        return;
    if (dialogs().question(this, QStringLiteral("Törlés"), QStringLiteral("Törli a(z) „%1” saját lapot?").arg(name))
        != Dialogs::Answer::Yes)
        return;
    removeSavedSheet(IniFile(savedSheetsFile()), name);
    listSheets(QString());
    sheetChosen(mSheet->currentIndex());
}

SheetLayout PrintDialog::openingSheet()
{
    const QStringList printers = printerNames();
    const QString last = lastSheetOf(printers.value(0));
    for (const SheetLayout& layout : knownSheets()) {
        if (layout.name == last)
            return layout;
    }
    return SheetLayout();
}

#include "app/Main.h"

#include "app/Settings.h"
#include "document/Child.h"
#include "document/JobProgress.h"
#include "document/MergeDialog.h"
#include "document/PrintDialog.h"
#include "document/PrintPreview.h"
#include "document/PrintShopDialog.h"
#include "document/Printing.h"
#include "merge/MergedCards.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>

void Tfrm_Main::aNyomKepExecute()
{
    if (Tfrm_Child* card = activeCard())
        card->PreviewCard();
}

void Tfrm_Main::aNyomtatExecute()
{
    if (Tfrm_Child* card = activeCard())
        card->PrintCard();
}

// Printing on card stock: the active card's copies from the chosen position
// on, its back an open card window or a card file, on the chosen printer
// as its calibration answers for it, or in a preview, or as a PDF (which
// takes the calibration only when asked to). The preview comes back to the
// dialog, its settings kept. The job prints the card as it was when the
// command began.
void Tfrm_Main::aNyomtatasExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    JobProgress::refuseWhileRunning();
    const std::vector<LayerItem> front = card->printables();
    PrintDialog dialog(this, cardTitles());
    dialog.setInputFiles(cardFiles());
    dialog.setPreview(
        [&](const PrintDialog::Choice& chosen) { showJobPreview(jobFor(front, chosen, nullptr), &dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    runPrintJob(jobFor(front, chosen, nullptr), chosen);
}

// A card for each person of a list: the merge dialog chooses the list and
// the people, the print dialog the rest; the back may hold placeholders
// too. The people are those the merge dialog read.
void Tfrm_Main::aKorlevelExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    JobProgress::refuseWhileRunning();
    const std::vector<LayerItem> front = card->printables();
    MergeDialog merge(this, front, dataFileStart(*card));
    merge.setSheet(PrintDialog::openingSheet());
    if (merge.exec() != QDialog::Accepted)
        return;
    const MergeDialog::Choice people = merge.choice();
    mLastDataFile = people.dataFile;
    const MergeSource source{people.dataFile, people.list, people.records, people.copiesEach};
    PrintDialog dialog(this, cardTitles());
    dialog.setMergeCards(int(people.people * people.copiesEach), people.action);
    dialog.setInputFiles(cardFiles() << people.dataFile);
    dialog.setPreview(
        [&](const PrintDialog::Choice& chosen) { showJobPreview(jobFor(front, chosen, &source), &dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    runPrintJob(jobFor(front, chosen, &source), chosen);
}

// The active card for a print shop: its dialog writes the file. The
// bleed, the crop marks and the folder it was written with are kept, and
// the card windows' cut lines take the bleed.
void Tfrm_Main::aNyomdaiPdfExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    JobProgress::refuseWhileRunning();
    PrintShopDialog dialog(this, *card, cardWindows(),
                           {Beall.PrintShopBleed, Beall.PrintShopCropMarks, Beall.PrintShopFolder},
                           dataFileStart(*card));
    const int result = dialog.exec();
    if (!dialog.dataFile().isEmpty())
        mLastDataFile = dialog.dataFile();
    if (result != QDialog::Accepted)
        return;
    const PrintShopDialog::Settings& kept = dialog.settings();
    Beall.PrintShopBleed = kept.bleed;
    Beall.PrintShopCropMarks = kept.cropMarks;
    Beall.PrintShopFolder = kept.folder;
    for (Tfrm_Child* open : cardWindows())
        open->setCutBleed(kept.bleed);
}

// The list of the last merge; the first one is looked for beside the card.
QString Tfrm_Main::dataFileStart(const Tfrm_Child& card) const
{
    if (mLastDataFile.isEmpty() && !card.FileName().isEmpty())
        return QFileInfo(card.FileName()).absolutePath() + QLatin1Char('/');
    return mLastDataFile;
}

QStringList Tfrm_Main::cardTitles() const
{
    QStringList titles;
    for (const Tfrm_Child* open : cardWindows())
        titles << open->windowTitle();
    return titles;
}

QStringList Tfrm_Main::cardFiles() const
{
    QStringList files;
    for (const Tfrm_Child* open : cardWindows()) {
        if (!open->FileName().isEmpty())
            files << open->FileName();
    }
    return files;
}

// The job as the print dialog chose it: the card's copies or the people of
// a merge, the back an open card window or a card file, the sheet's
// layout, the start, the edge and the calibration.
PrintJob Tfrm_Main::jobFor(const std::vector<LayerItem>& front, const PrintDialog::Choice& chosen,
                           const MergeSource* people) const
{
    PrintJob job;
    job.cards = CardSource(front);
    const QList<Tfrm_Child*> cards = cardWindows();
    if (chosen.backCard >= 0 && chosen.backCard < cards.size())
        job.cards.setBack(cards[chosen.backCard]->printables());
    else if (!chosen.backFile.isEmpty())
        job.cards.setBack(loadCardReport(chosen.backFile)->Printables);
    job.copies = chosen.copies;
    if (people)
        mergeInto(job, MergedCards::of(*people, job.cards.front(), job.cards.back()));
    job.sheet = chosen.sheet;
    job.start = chosen.start;
    job.flip = chosen.flip;
    job.calibration = chosen.calibration;
    return job;
}

// Where the job goes.
void Tfrm_Main::runPrintJob(PrintJob job, const PrintDialog::Choice& chosen)
{
    switch (chosen.action) {
    case PrintDialog::Action::Print:
        printJob(*printerNamed(chosen.printer), job);
        break;
    case PrintDialog::Action::Preview:
        showJobPreview(job);
        break;
    case PrintDialog::Action::Pdf: {
        if (!chosen.calibratePdf)
            job.calibration = {};
        JobProgress progress(QStringLiteral("PDF készül…"), pageCount(job));
        writeSheetPdf(job, QFile::encodeName(chosen.pdfFile).toStdString(), progress);
        break;
    }
    }
}

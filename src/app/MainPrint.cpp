#include "app/Main.h"

#include "document/Child.h"
#include "document/MergeDialog.h"
#include "document/PrintDialog.h"
#include "merge/MergedCards.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"

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
// takes the calibration only when asked to).
void Tfrm_Main::aNyomtatasExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    PrintDialog dialog(this, cardTitles());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    PrintJob job;
    job.front = card->printables();
    job.copies = chosen.copies;
    runPrintJob(job, chosen);
}

// A card for each person of a list: the merge dialog chooses the list and
// the people, the print dialog the rest; the back may hold placeholders
// too.
void Tfrm_Main::aKorlevelExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    std::vector<LayerItem> front = card->printables();
    // The first list is looked for beside the card.
    const QString start = mLastDataFile.isEmpty() && !card->FileName().isEmpty()
        ? QFileInfo(card->FileName()).absolutePath() + QLatin1Char('/')
        : mLastDataFile;
    MergeDialog merge(this, front, start);
    if (merge.exec() != QDialog::Accepted)
        return;
    const MergeDialog::Choice people = merge.choice();
    mLastDataFile = people.dataFile;
    PrintDialog dialog(this, cardTitles());
    dialog.setMergeCards(int(people.people * people.copiesEach), people.action);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    PrintJob job;
    job.front = std::move(front);
    withBack(job, chosen);
    std::optional<MergeTemplate> back;
    if (job.hasBack)
        back.emplace(job.back);
    auto cards = std::make_shared<MergedCards>(people.dataFile, MergeTemplate(job.front), std::move(back),
                                               people.copiesEach, people.records);
    job.cards = MergedCards::source(cards);
    job.copies = cards->copies();
    runPrintJob(job, chosen);
}

QStringList Tfrm_Main::cardTitles() const
{
    QStringList titles;
    for (const Tfrm_Child* open : cardWindows())
        titles << open->windowTitle();
    return titles;
}

void Tfrm_Main::withBack(PrintJob& job, const PrintDialog::Choice& chosen) const
{
    const QList<Tfrm_Child*> cards = cardWindows();
    if (chosen.backCard >= 0 && chosen.backCard < cards.size()) {
        job.back = cards[chosen.backCard]->printables();
        job.hasBack = true;
    } else if (!chosen.backFile.isEmpty()) {
        job.back = loadCardReport(chosen.backFile)->Printables;
        job.hasBack = true;
    }
}

// The job as the print dialog chose: its back, start, edge and calibration,
// and where it goes.
void Tfrm_Main::runPrintJob(PrintJob& job, const PrintDialog::Choice& chosen)
{
    if (!job.hasBack)
        withBack(job, chosen);
    job.start = chosen.start;
    job.flip = chosen.flip;
    job.calibration = chosen.calibration;
    switch (chosen.action) {
    case PrintDialog::Action::Print:
        printJob(*printerNamed(chosen.printer), job);
        break;
    case PrintDialog::Action::Preview:
        showJobPreview(job);
        break;
    case PrintDialog::Action::Pdf:
        if (!chosen.calibratePdf)
            job.calibration = {};
        saveJobPdf(job, chosen.pdfFile, true);
        break;
    }
}

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
// takes the calibration only when asked to). The preview comes back to the
// dialog, its settings kept.
void Tfrm_Main::aNyomtatasExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    const std::vector<LayerItem> front = card->printables();
    auto jobFor = [&](const PrintDialog::Choice& chosen) {
        PrintJob job;
        job.front = front;
        job.copies = chosen.copies;
        completeJob(job, chosen);
        return job;
    };
    PrintDialog dialog(this, cardTitles());
    dialog.setInputFiles(cardFiles());
    dialog.setPreview([&](const PrintDialog::Choice& chosen) { showJobPreview(jobFor(chosen), &dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    runPrintJob(jobFor(chosen), chosen);
}

// A card for each person of a list: the merge dialog chooses the list and
// the people, the print dialog the rest; the back may hold placeholders
// too.
void Tfrm_Main::aKorlevelExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    const std::vector<LayerItem> front = card->printables();
    // The first list is looked for beside the card.
    const QString start = mLastDataFile.isEmpty() && !card->FileName().isEmpty()
        ? QFileInfo(card->FileName()).absolutePath() + QLatin1Char('/')
        : mLastDataFile;
    MergeDialog merge(this, front, start);
    if (merge.exec() != QDialog::Accepted)
        return;
    const MergeDialog::Choice people = merge.choice();
    mLastDataFile = people.dataFile;
    auto jobFor = [&](const PrintDialog::Choice& chosen) {
        PrintJob job;
        job.front = front;
        withBack(job, chosen);
        std::optional<MergeTemplate> back;
        if (job.hasBack)
            back.emplace(job.back);
        auto cards = std::make_shared<MergedCards>(people.dataFile, MergeTemplate(job.front), std::move(back),
                                                   people.copiesEach, people.records);
        job.cards = MergedCards::source(cards);
        job.copies = cards->copies();
        completeJob(job, chosen);
        return job;
    };
    PrintDialog dialog(this, cardTitles());
    dialog.setMergeCards(int(people.people * people.copiesEach), people.action);
    dialog.setInputFiles(cardFiles() << people.dataFile);
    dialog.setPreview([&](const PrintDialog::Choice& chosen) { showJobPreview(jobFor(chosen), &dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    runPrintJob(jobFor(chosen), chosen);
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

// The job as the print dialog chose: its back, start, edge and calibration.
void Tfrm_Main::completeJob(PrintJob& job, const PrintDialog::Choice& chosen) const
{
    if (!job.hasBack)
        withBack(job, chosen);
    job.start = chosen.start;
    job.flip = chosen.flip;
    job.calibration = chosen.calibration;
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
    case PrintDialog::Action::Pdf:
        if (!chosen.calibratePdf)
            job.calibration = {};
        saveJobPdf(job, chosen.pdfFile, true);
        break;
    }
}

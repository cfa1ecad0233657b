#include "app/Main.h"

#include "document/Child.h"
#include "document/PrintDialog.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"

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
    const QList<Tfrm_Child*> cards = cardWindows();
    QStringList titles;
    for (const Tfrm_Child* open : cards)
        titles << open->windowTitle();
    PrintDialog dialog(this, titles);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const PrintDialog::Choice chosen = dialog.choice();
    PrintJob job;
    job.front = card->printables();
    if (chosen.backCard >= 0 && chosen.backCard < cards.size()) {
        job.back = cards[chosen.backCard]->printables();
        job.hasBack = true;
    } else if (!chosen.backFile.isEmpty()) {
        job.back = loadCardReport(chosen.backFile)->Printables;
        job.hasBack = true;
    }
    job.copies = chosen.copies;
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
    case PrintDialog::Action::Pdf: {
        if (!chosen.calibratePdf)
            job.calibration = {};
        saveJobPdf(job, chosen.pdfFile, true);
        break;
    }
    }
}

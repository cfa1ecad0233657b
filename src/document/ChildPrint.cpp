#include "document/Child.h"

#include "document/Printing.h"
#include "print/rptLapora.h"

// The print report reads a snapshot of the card's records, the pictures
// shared: nothing of the card is written anywhere, and the job keeps what
// it read, so that the card may change while the job runs.
std::vector<LayerItem> Tfrm_Child::printables()
{
    CardDocument::Snapshot card = mDocument.snapshot();
    return cardReport(std::move(card.fields), std::move(card.records))->Printables;
}

void Tfrm_Child::PreviewCard()
{
    runPrintJob(false);
}

void Tfrm_Child::PrintCard()
{
    runPrintJob(true);
}

// An edit still pending in the text panel is not posted first: the sheet
// shows the card as stored. The card itself, its title and its modified
// flag stay as they were.
void Tfrm_Child::runPrintJob(bool print)
{
    RunCardReport(mDocument.snapshot(), print);
}

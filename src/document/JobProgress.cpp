#include "document/JobProgress.h"

#include "print/PrintOutput.h"
#include "print/rptLapora.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

bool jobRunning = false;

} // namespace

JobProgress::JobProgress(const QString& label, int pages)
{
    refuseWhileRunning();
    // Taken before the window shows: showing it runs the events.
    jobRunning = true;
    mDialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Mégse"), 0, pages);
    mDialog->setWindowTitle(TqrLapora::Title);
    mDialog->setWindowModality(Qt::ApplicationModal);
    // Up until the job ends, its last page drawn or not.
    mDialog->setAutoReset(false);
    mDialog->setAutoClose(false);
    mDialog->setMinimumDuration(0);
    mDialog->setValue(0);
}

JobProgress::~JobProgress()
{
    jobRunning = false;
}

bool JobProgress::running()
{
    return jobRunning;
}

void JobProgress::refuseWhileRunning()
{
    if (jobRunning)
        throw PrintError("Már folyamatban van egy nyomtatás. Várja meg, amíg befejeződik.");
}

// The writer says how many steps there are: the print shop's PDF counts
// each page twice, drawn and converted.
bool JobProgress::pageDone(int page, int pages)
{
    if (pages > 0 && mDialog->maximum() != pages)
        mDialog->setMaximum(pages);
    mDialog->setValue(page + 1);
    QApplication::processEvents();
    return !mDialog->wasCanceled();
}

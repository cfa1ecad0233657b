#include "document/JobProgress.h"

#include "print/rptLapora.h"

#include <QApplication>

JobProgress::JobProgress(const QString& label, int pages)
    : mDialog(label, QStringLiteral("Mégse"), 0, pages)
{
    mDialog.setWindowTitle(TqrLapora::Title);
    mDialog.setMinimumDuration(0);
    mDialog.setValue(0);
}

bool JobProgress::pageDone(int page, int)
{
    mDialog.setValue(page + 1);
    QApplication::processEvents();
    return !mDialog.wasCanceled();
}

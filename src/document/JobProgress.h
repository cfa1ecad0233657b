#pragma once

#include "print/Progress.h"

#include <QProgressDialog>
#include <QString>

// A progress window for a job's pages whose "Mégse" stops it.
class JobProgress : public Progress
{
public:
    JobProgress(const QString& label, int pages);

    bool pageDone(int page, int pages) override;

private:
    QProgressDialog mDialog;
};

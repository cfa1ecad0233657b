#pragma once

#include "print/Progress.h"

#include <QString>

#include <memory>

class QProgressDialog;

// The window of a job's progress while its pages are drawn, whose "Mégse"
// stops the job. It is modal over the whole program: no card can be
// edited, closed or printed again until the job ends. One job at a time:
// one asked for while another runs (only a timer or a script can still
// ask) is refused with a PrintError before anything is drawn.
class JobProgress : public Progress
{
public:
    JobProgress(const QString& label, int pages);
    ~JobProgress() override;
    JobProgress(const JobProgress&) = delete;
    JobProgress& operator=(const JobProgress&) = delete;

    bool pageDone(int page, int pages) override;

    // Whether a job's window is up; the PrintError of a job asked for
    // meanwhile.
    static bool running();
    static void refuseWhileRunning();

private:
    std::unique_ptr<QProgressDialog> mDialog;
};

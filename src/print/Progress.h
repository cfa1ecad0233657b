#pragma once

// How far a job's output has come, told after each page, and whether it
// goes on: a progress window beside the dialogs, nothing in lapora-cli.
class Progress
{
public:
    virtual ~Progress() = default;
    // After page (from 0) of pages: false stops the job.
    virtual bool pageDone(int page, int pages) = 0;
};

// Tells nobody, never stops.
Progress& noProgress();

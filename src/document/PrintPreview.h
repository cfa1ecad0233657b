#pragma once

class QWidget;
struct PrintJob;

// The job's pages in a preview window of its own, as the printer gets them:
// maximised, with zoom, page turning, printer set-up and print. The window
// keeps its own copy of the job. Given a parent, the preview is modal over
// it and returns when it closes; without one it stays beside the other
// windows and the call returns at once.
void showJobPreview(const PrintJob& job, QWidget* parent = nullptr);

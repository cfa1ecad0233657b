#pragma once

#include "print/Progress.h"

#include <QImage>
#include <QString>

#include <stdexcept>
#include <string>
#include <vector>

class QIODevice;
struct PrintJob;

// A print that could not be made; what() is the message for the user.
class PrintError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The writers of a job's files, one per kind of output, each walking the
// job's pages through paintJobPage; paths as the system spells them. The
// printer's writer lives with the dialogs, where Qt PrintSupport may be
// linked.

// The job as a PDF of its pages, written into the file as they are drawn,
// so that a long job takes no more memory than a short one; the file is
// replaced only once the PDF is complete. False when progress stopped the
// job; the file is then as it was. Fails with a PrintError when the file
// cannot be written.
bool writeSheetPdf(const PrintJob& job, const std::string& path, Progress& progress = noProgress());
// The same onto an open device.
void writeSheetPdf(const PrintJob& job, QIODevice* out);

// The job as one PNG picture per page at a resolution, under the names
// pngPageNames gives. Each page goes to a temporary file as soon as it is
// drawn, so that only one page is ever held; the pages replace their files
// together once the last is written, and a failure or a stop leaves every
// file as it was. False when progress stopped the job; a PrintError when a
// page cannot be written.
bool writeSheetPngs(const PrintJob& job, const std::string& path, int dpi, Progress& progress = noProgress());
// The file of each page: the path itself for one page, NAME-1.png,
// NAME-2.png, ... for several (NAME the path without a ".png" ending).
std::vector<std::string> pngPageNames(const std::string& path, int pages);

// One page of the job as a picture at a resolution: the whole paper, white
// where nothing is drawn (the card alone: clear around its white card).
QImage pagePicture(const PrintJob& job, int page, int dpi);

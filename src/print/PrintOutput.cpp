#include "print/PrintOutput.h"

#include "print/PrintJob.h"
#include "print/SheetLayout.h"
#include "storage/SafeWrite.h"

#include <QPainter>
#include <QPdfWriter>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

class Unstoppable : public Progress
{
public:
    bool pageDone(int, int) override { return true; }
};

// The bytes a writer gives, straight into a file written safely; an error
// is kept for after the writer is done, as it cannot be thrown through the
// writer.
class SafeWriteDevice : public QIODevice
{
public:
    explicit SafeWriteDevice(SafeWrite& out)
        : mOut(out)
    {
        open(QIODevice::WriteOnly);
    }
    const std::string& failure() const { return mFailure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!mFailure.empty())
            return -1;
        try {
            mOut.write(data, static_cast<std::size_t>(size));
        } catch (const std::exception& error) {
            mFailure = error.what();
            return -1;
        }
        return size;
    }

private:
    SafeWrite& mOut;
    std::string mFailure;
};

// Every failure of a file's writer as the user reads it.
template <class Body>
auto asPrintError(Body&& body)
{
    try {
        return body();
    } catch (const PrintError&) {
        throw;
    } catch (const std::exception& error) {
        throw PrintError(error.what());
    }
}

// The pages into a PDF on out, until the device has failed; false when
// progress stopped them.
bool pdfPages(const PrintJob& job, QIODevice* out, Progress& progress, const std::function<bool()>& failed)
{
    const int pages = pageCount(job);
    QPdfWriter pdf(out);
    pdf.setTitle(jobTitle(job));
    pdf.setPageLayout(pageLayout(job));
    QPainter painter(&pdf);
    useJobUnits(painter, pdf, job);
    for (int page = 0; page < pages && !failed(); ++page) {
        if (page > 0)
            pdf.newPage();
        paintJobPage(painter, job, page);
        if (!progress.pageDone(page, pages))
            return false;
    }
    return true;
}

int dotsPerMetre(int dpi)
{
    return int(std::lround(dpi / 0.0254));
}

// A page's picture before anything is drawn, which records its
// resolution: the white paper; for the card alone, a clear picture of the
// card's pixels at the resolution, which the card fills white.
QImage blankPicture(const PrintJob& job, int dpi)
{
    QImage picture;
    if (job.pages == JobPages::Card) {
        const double scale = dpi / 96.0;
        picture = QImage(QSize(int(std::lround(340 * scale)), int(std::lround(190 * scale))), QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
    } else {
        const QSizeF paper = job.sheet.paperSize();
        const QSize size(int(std::lround(paper.width() / 25.4 * dpi)), int(std::lround(paper.height() / 25.4 * dpi)));
        picture = QImage(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    picture.setDotsPerMeterX(dotsPerMetre(dpi));
    picture.setDotsPerMeterY(dotsPerMetre(dpi));
    return picture;
}

void drawPage(QImage& picture, const PrintJob& job, int page)
{
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    useJobUnits(painter, picture, job);
    paintJobPage(painter, job, page);
}

} // namespace

Progress& noProgress()
{
    static Unstoppable none;
    return none;
}

void writeSheetPdf(const PrintJob& job, QIODevice* out)
{
    pdfPages(job, out, noProgress(), [] { return false; });
}

bool writeSheetPdf(const PrintJob& job, const std::string& path, Progress& progress)
{
    return asPrintError([&] {
        SafeWrite out(path);
        SafeWriteDevice device(out);
        if (!pdfPages(job, &device, progress, [&] { return !device.failure().empty(); }))
            return false;
        if (!device.failure().empty())
            throw PrintError(device.failure());
        out.commit();
        return true;
    });
}

std::vector<std::string> pngPageNames(const std::string& path, int pages)
{
    if (pages == 1)
        return {path};
    std::string base = path;
    if (base.size() > 4) {
        std::string suffix = base.substr(base.size() - 4);
        for (char& c : suffix)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (suffix == ".png")
            base.resize(base.size() - 4);
    }
    std::vector<std::string> names;
    for (int page = 1; page <= pages; ++page)
        names.push_back(base + "-" + std::to_string(page) + ".png");
    return names;
}

// One picture is drawn into page after page. Each page's file is sealed
// (on disk, its descriptor closed) before the next is drawn; the renames
// come last, and should one of them fail, the pages renamed before it are
// removed again.
bool writeSheetPngs(const PrintJob& job, const std::string& path, int dpi, Progress& progress)
{
    return asPrintError([&] {
        const int pages = pageCount(job);
        const std::vector<std::string> names = pngPageNames(path, pages);
        std::vector<std::unique_ptr<SafeWrite>> files;
        QImage picture = blankPicture(job, dpi);
        for (int page = 0; page < pages; ++page) {
            files.push_back(std::make_unique<SafeWrite>(names[std::size_t(page)]));
            if (page > 0)
                picture.fill(job.pages == JobPages::Card ? Qt::transparent : Qt::white);
            drawPage(picture, job, page);
            SafeWriteDevice device(*files.back());
            if (!picture.save(&device, "PNG"))
                throw PrintError(device.failure().empty() ? "The picture cannot be written as PNG" : device.failure());
            files.back()->seal();
            if (!progress.pageDone(page, pages))
                return false;
        }
        for (std::size_t done = 0; done < files.size(); ++done) {
            try {
                files[done]->commit();
            } catch (...) {
                for (std::size_t renamed = 0; renamed < done; ++renamed)
                    std::remove(files[renamed]->target().c_str());
                throw;
            }
        }
        return true;
    });
}

QImage pagePicture(const PrintJob& job, int page, int dpi)
{
    QImage picture = blankPicture(job, dpi);
    drawPage(picture, job, page);
    return picture;
}

#include "document/Dialogs.h"

#include "document/FontDialog.h"
#include "document/QrDialog.h"
#include "document/RecoveryDialog.h"
#include "document/ReductionDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>

namespace {

constexpr int PreviewSize = 160;

// "Description|*.a;*.b|..." pairs as Qt's name filters. Qt takes the
// patterns from the parentheses at a filter's end and splits them on
// blanks, so every description gets the patterns of its own "|" part in
// parentheses of their own; the dialog hides that last part again, and the
// user reads each description as it is written ("JPEG Image File (*.jpg)"
// lists .jpeg files too, as its patterns say).
QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).simplified();
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

void prepare(QFileDialog& box, const Dialogs::FileDialog& dialog)
{
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setOption(QFileDialog::HideNameFilterDetails);
    box.setNameFilters(nameFilters(dialog.filter));
    QString suffix = dialog.defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    box.setDefaultSuffix(suffix);
    // A full path opens its folder too, so the dialog returns to where the
    // user last was.
    if (QFileInfo(dialog.fileName).isDir())
        box.setDirectory(dialog.fileName);
    else if (!dialog.fileName.isEmpty())
        box.selectFile(dialog.fileName);
}

std::optional<QString> run(QFileDialog& box, Dialogs::FileDialog& dialog)
{
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    dialog.fileName = box.selectedFiles().constFirst();
    return dialog.fileName;
}

// A picture beside the file list, so the user sees what is chosen. Formats
// Qt cannot read simply show nothing.
void addPreview(QFileDialog& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    auto* preview = new QLabel(&box);
    preview->setFixedSize(PreviewSize, PreviewSize);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(&box, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        // Opening a FIFO or a device to look at it would hang the dialog.
        if (!QFileInfo(path).isFile()) {
            preview->clear();
            return;
        }
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > PreviewSize || size.height() > PreviewSize))
            reader.setScaledSize(size.scaled(PreviewSize, PreviewSize, Qt::KeepAspectRatio));
        preview->setPixmap(QPixmap::fromImage(reader.read()));
    });
}

class QtDialogs : public Dialogs
{
public:
    std::optional<QString> openFile(QWidget* parent, FileDialog& dialog) override
    {
        QFileDialog box(parent);
        prepare(box, dialog);
        box.setAcceptMode(QFileDialog::AcceptOpen);
        box.setFileMode(QFileDialog::AnyFile);
        return run(box, dialog);
    }

    std::optional<QString> saveFile(QWidget* parent, FileDialog& dialog) override
    {
        QFileDialog box(parent);
        prepare(box, dialog);
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setOption(QFileDialog::DontConfirmOverwrite);
        return run(box, dialog);
    }

    std::optional<QString> openPicture(QWidget* parent, const QString& filter) override
    {
        QFileDialog box(parent);
        FileDialog dialog{filter, QString(), QString()};
        prepare(box, dialog);
        box.setAcceptMode(QFileDialog::AcceptOpen);
        box.setFileMode(QFileDialog::ExistingFile);
        addPreview(box);
        return run(box, dialog);
    }

    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override
    {
        const QColor color = QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
        if (!color.isValid())
            return std::nullopt;
        return color;
    }

    // Our own: Qt's font dialog has no colour, and it takes a face the
    // system resolves to another one for that other face.
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override
    {
        FontDialog box(parent, initial);
        if (box.exec() != QDialog::Accepted)
            return std::nullopt;
        return box.choice();
    }

    std::optional<QrContents> editQr(QWidget* parent, const QrContents& initial, double boxPixels) override
    {
        QrDialog box(parent, initial, boxPixels);
        if (box.exec() != QDialog::Accepted)
            return std::nullopt;
        return box.contents();
    }

    std::optional<std::vector<bool>> chooseRecovered(QWidget* parent,
                                                    const std::vector<RecoveredCard>& cards) override
    {
        return RecoveryDialog::run(parent, cards);
    }

    ReductionChoice offerReduction(QWidget* parent, const ReductionOffer& offer) override
    {
        return ReductionDialog::run(parent, offer);
    }

    Answer question(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                        parent);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
};

Dialogs* installed = nullptr;

} // namespace

Dialogs& dialogs()
{
    static QtDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
}

void setDialogs(Dialogs* replacement)
{
    installed = replacement;
}

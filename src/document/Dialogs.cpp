#include "document/Dialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int PreviewSize = 160;

// "Description|*.a;*.b|..." pairs as Qt's name filters. Qt reads the
// patterns from the parentheses at a filter's end, so they are added when
// the description does not already show them.
QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

void prepare(QFileDialog& box, const Dialogs::FileDialog& dialog)
{
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setNameFilters(nameFilters(dialog.filter));
    QString suffix = dialog.defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    box.setDefaultSuffix(suffix);
    // A full path opens its folder too, so the dialog returns to where the
    // user last was.
    if (!dialog.fileName.isEmpty())
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
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > PreviewSize || size.height() > PreviewSize))
            reader.setScaledSize(size.scaled(PreviewSize, PreviewSize, Qt::KeepAspectRatio));
        preview->setPixmap(QPixmap::fromImage(reader.read()));
    });
}

// The font dialog with the text's colour: Qt's font panel, a colour button
// that opens the colour dialog, OK and Cancel.
class FontColorDialog : public QDialog
{
public:
    FontColorDialog(QWidget* parent, const QFont& font, const QColor& color)
        : QDialog(parent)
        , mFonts(new QFontDialog(font, this))
        , mColorButton(new QPushButton(QStringLiteral("&Szín…"), this))
        , mColor(color)
    {
        setWindowTitle(QFontDialog::tr("Select Font"));
        mFonts->setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::NoButtons);
        mFonts->setWindowFlags(Qt::Widget);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        auto* colorRow = new QHBoxLayout;
        colorRow->addWidget(mColorButton);
        colorRow->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(mFonts);
        layout->addLayout(colorRow);
        layout->addWidget(buttons);
        showColor();
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(mColorButton, &QPushButton::clicked, this, [this] {
            const QColor chosen = QColorDialog::getColor(mColor, this, QString(), QColorDialog::DontUseNativeDialog);
            if (chosen.isValid()) {
                mColor = chosen;
                showColor();
            }
        });
    }

    QFont font() const { return mFonts->currentFont(); }
    QColor color() const { return mColor; }

private:
    void showColor()
    {
        QPixmap swatch(16, 16);
        swatch.fill(mColor);
        mColorButton->setIcon(QIcon(swatch));
    }

    QFontDialog* mFonts;
    QPushButton* mColorButton;
    QColor mColor;
};

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

    // Qt's font dialog has no colour of its own: ours adds a colour button
    // below it.
    std::optional<std::pair<QFont, QColor>> chooseFont(QWidget* parent, const QFont& initial,
                                                       const QColor& color) override
    {
        FontColorDialog box(parent, initial, color);
        if (box.exec() != QDialog::Accepted)
            return std::nullopt;
        return std::make_pair(box.font(), box.color());
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

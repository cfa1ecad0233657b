#include "document/PrintShopDialog.h"

#include "document/Child.h"
#include "document/JobProgress.h"
#include "document/MergeDialog.h"
#include "editor/ErrorBox.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "storage/FileAccess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString CardFilter = QStringLiteral("Lapora file-ok (*.bcrd)|*.bcrd");
const QString PdfFilter = QStringLiteral("PDF dokumentum (*.pdf)|*.pdf");

// Where a warning's layer is: on the back or the front, and its place
// among that card's printables (none for the card as a whole).
constexpr int BackRole = Qt::UserRole;
constexpr int LayerRole = Qt::UserRole + 1;

PrintShopWriter& installedWriter()
{
    static PrintShopWriter writer;
    return writer;
}

} // namespace

void setPrintShopWriter(PrintShopWriter writer)
{
    installedWriter() = std::move(writer);
}

PrintShopDialog::PrintShopDialog(QWidget* parent, Tfrm_Child& card, const QList<Tfrm_Child*>& openCards,
                                 const Settings& settings, const QString& dataFile)
    : QDialog(parent)
    , mCard(&card)
    , mFront(printedCard(card.document()))
    , mSettings(settings)
    , mBack(new QComboBox(this))
    , mMerge(new QComboBox(this))
    , mDataStart(dataFile)
    , mBleed(new QDoubleSpinBox(this))
    , mCropMarks(new QCheckBox(QStringLiteral("Vágójelek"), this))
    , mFindings(new QTreeWidget(this))
{
    setObjectName("frm_NyomdaiPdf");
    setWindowTitle(QStringLiteral("Nyomdai PDF"));

    mBack->addItem(QStringLiteral("Nincs"));
    for (Tfrm_Child* open : openCards) {
        mOpenCards << open;
        mBack->addItem(open->windowTitle());
    }
    mBack->addItem(QStringLiteral("Kártyafájl..."));

    // Only halves of a millimetre: a value typed between them is taken as
    // the nearest once typing ends.
    mBleed->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
    mBleed->setRange(0, printshop::MaxBleed);
    mBleed->setSingleStep(printshop::BleedStep);
    mBleed->setDecimals(1);
    mBleed->setKeyboardTracking(false);
    mBleed->setValue(printshop::validBleed(settings.bleed) ? settings.bleed : printshop::DefaultBleed);
    mCropMarks->setChecked(settings.cropMarks);

    mMerge->addItem(QStringLiteral("Nincs"));
    mMerge->addItem(QStringLiteral("Adatfájl..."));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Hátoldal:"), mBack);
    form->addRow(QStringLiteral("Kifutó (mm):"), mBleed);
    form->addRow(QString(), mCropMarks);
    form->addRow(QStringLiteral("Körlevél:"), mMerge);

    mFindings->setColumnCount(2);
    mFindings->setHeaderLabels({QStringLiteral("Réteg"), QStringLiteral("Probléma")});
    mFindings->setRootIsDecorated(false);
    mFindings->setUniformRowHeights(true);
    mFindings->header()->setStretchLastSection(true);
    mFindings->setColumnWidth(0, 180);
    mFindings->setMinimumSize(520, 160);

    auto* buttons = new QDialogButtonBox(this);
    mSave = buttons->addButton(QStringLiteral("Mentés..."), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Mégse"), QDialogButtonBox::RejectRole);
    mSave->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Ellenőrzés (amit a nyomda kifogásolhat):"), this));
    layout->addWidget(mFindings, 1);
    layout->addWidget(buttons);

    connect(mBack, &QComboBox::activated, this, [this](int index) { guarded([&] { backChosen(index); }); });
    connect(mMerge, &QComboBox::activated, this, [this](int index) { guarded([&] { mergeChosen(index); }); });
    connect(mBleed, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        const double step = printshop::BleedStep;
        if (const double nearest = std::round(value / step) * step; nearest != value)
            mBleed->setValue(nearest);
        else
            guarded([this] { refreshFindings(); });
    });
    connect(mCropMarks, &QCheckBox::toggled, this, [this] { guarded([this] { refreshFindings(); }); });
    connect(mFindings, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { guarded([&] { findingChosen(item); }); });
    connect(mSave, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refreshFindings();
}

PrintShopDialog::~PrintShopDialog() = default;

printshop::Options PrintShopDialog::options() const
{
    const double step = printshop::BleedStep;
    return {std::round(mBleed->value() / step) * step, mCropMarks->isChecked()};
}

// "Kártyafájl..." asks for the file at once and reads it, for the
// preflight; without one, or with one that cannot be read, the back stays
// as it was.
void PrintShopDialog::backChosen(int index)
{
    const int fileEntry = mBack->count() - 1;
    if (index == fileEntry) {
        Dialogs::FileDialog dialog{CardFilter, QStringLiteral("bcrd"), mBackFile};
        if (const std::optional<QString> path = dialogs().openFile(this, dialog)) {
            try {
                CardDocument back;
                back.load(*path);
                mFileBack = printedCard(back);
            } catch (...) {
                mBack->setCurrentIndex(mBackIndex);
                throw;
            }
            mBackFile = *path;
            mBack->setItemText(fileEntry, QStringLiteral("Kártyafájl: ") + *path);
        } else if (mBackFile.isEmpty()) {
            mBack->setCurrentIndex(mBackIndex);
        }
    }
    const int before = mBackIndex;
    mBackIndex = mBack->currentIndex();
    try {
        takeBack();
    } catch (...) {
        mBack->setCurrentIndex(before);
        mBackIndex = before;
        takeBack();
        throw;
    }
    refreshFindings();
}

// An open card window's back is its card as it is now.
void PrintShopDialog::takeBack()
{
    mBackCard.reset();
    mBackWindow = nullptr;
    if (mBackIndex > 0 && mBackIndex <= mOpenCards.size()) {
        if (Tfrm_Child* window = mOpenCards[mBackIndex - 1]) {
            mBackCard = printedCard(window->document());
            mBackWindow = window;
        }
    } else if (mBackIndex == mBack->count() - 1 && mFileBack) {
        mBackCard = mFileBack;
    }
}

// "Adatfájl..." opens the merge's list and its people; the dialog's card
// is the front as it was when the command began. A merge that is left
// without one keeps the people chosen before.
void PrintShopDialog::mergeChosen(int index)
{
    if (index == 0) {
        mPeople.reset();
        mMerge->setItemText(1, QStringLiteral("Adatfájl..."));
        return;
    }
    MergeDialog dialog(this, mFront.layers, mPeople ? mPeople->dataFile : mDataStart);
    dialog.choosePeopleOnly();
    if (dialog.exec() != QDialog::Accepted) {
        if (!mPeople)
            mMerge->setCurrentIndex(0);
        return;
    }
    const MergeDialog::Choice chosen = dialog.choice();
    mPeople = MergeSource{chosen.dataFile, chosen.list, chosen.records, 1};
    mDataFile = chosen.dataFile;
    mMerge->setItemText(1, QStringLiteral("Adatfájl: %1 (%2 személy)")
                               .arg(QFileInfo(chosen.dataFile).fileName())
                               .arg(chosen.people));
}

void PrintShopDialog::refreshFindings()
{
    mFindings->clear();
    const printshop::Options chosen = options();
    addFindings(mFront, printshop::preflight(mFront.layers, chosen), false);
    if (mBackCard)
        addFindings(*mBackCard, printshop::preflight(mBackCard->layers, chosen), true);
    if (mFindings->topLevelItemCount() == 0) {
        auto* none = new QTreeWidgetItem(mFindings, {QStringLiteral("Nincs figyelmeztetés.")});
        none->setFirstColumnSpanned(true);
        none->setFlags(Qt::ItemIsEnabled);
    }
}

void PrintShopDialog::addFindings(const PrintedCard& card, const std::vector<printshop::Finding>& found, bool back)
{
    for (const printshop::Finding& finding : found) {
        const bool ofLayer = finding.layer >= 0 && finding.layer < card.names.size();
        QString name = ofLayer ? card.names[finding.layer] : QStringLiteral("kártya");
        if (back)
            name = ofLayer ? QStringLiteral("hátoldal: ") + name : QStringLiteral("hátoldal");
        auto* item = new QTreeWidgetItem(mFindings, {name, finding.problem});
        item->setToolTip(1, finding.problem);
        item->setData(0, BackRole, back);
        if (ofLayer)
            item->setData(0, LayerRole, finding.layer);
    }
}

// The layer is selected in its card window, which comes to the front; a
// layer deleted meanwhile, or one of a card file, has none.
void PrintShopDialog::findingChosen(QTreeWidgetItem* item)
{
    const QVariant layer = item->data(0, LayerRole);
    if (!layer.isValid())
        return;
    const bool back = item->data(0, BackRole).toBool();
    Tfrm_Child* window = back ? mBackWindow.data() : mCard.data();
    const PrintedCard* card = back ? (mBackCard ? &*mBackCard : nullptr) : &mFront;
    const int place = layer.toInt();
    if (!window || !card || place < 0 || std::size_t(place) >= card->ids.size())
        return;
    const CardDocument::LayerId id = card->ids[std::size_t(place)];
    if (window->Tbl().RowOf(id) < 0)
        return;
    if (QMdiArea* area = window->mdiArea())
        area->setActiveSubWindow(window);
    window->document().setCurrent(id);
}

// Beside a saved card under its name; an unsaved one in the folder of the
// last file, or else the documents folder.
QString PrintShopDialog::proposedFile() const
{
    if (!mCard->FileName().isEmpty()) {
        const QFileInfo card(mCard->FileName());
        return card.absolutePath() + QLatin1Char('/') + card.completeBaseName() + QStringLiteral(".pdf");
    }
    QString folder = mSettings.folder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return folder + QLatin1Char('/') + QFileInfo(mCard->windowTitle()).completeBaseName() + QStringLiteral(".pdf");
}

QString PrintShopDialog::title() const
{
    return mCard->FileName().isEmpty() ? mCard->windowTitle() : QFileInfo(mCard->FileName()).fileName();
}

// The file may not replace what the job reads, nor any open card's file.
void PrintShopDialog::refuseInput(const QString& path) const
{
    QStringList inputs{mCard->FileName()};
    for (const Tfrm_Child* open : mOpenCards)
        if (open)
            inputs << open->FileName();
    if (mBackIndex == mBack->count() - 1)
        inputs << mBackFile;
    if (mPeople)
        inputs << mPeople->dataFile;
    const std::string output = QFile::encodeName(path).toStdString();
    for (const QString& input : inputs) {
        if (!input.isEmpty() && sameFile(output, QFile::encodeName(input).toStdString()))
            throw PrintError("A nyomdai PDF nem menthető a(z) „" + path.toStdString()
                             + "” fájlba: ezt a fájlt olvassa a Lapora (kártya, hátoldal vagy adatfájl). "
                               "Válasszon más nevet.");
    }
}

// As the print dialog's job: the card, its back, and for a merge the
// people's cards; each once.
PrintJob PrintShopDialog::job() const
{
    PrintJob job;
    job.pages = JobPages::Card;
    job.cards = CardSource(mFront.layers);
    if (mBackCard)
        job.cards.setBack(mBackCard->layers);
    job.copies = 1;
    if (mPeople)
        mergeInto(job, MergedCards::of(*mPeople, job.cards.front(), job.cards.back()));
    return job;
}

// A stopped job leaves the dialog open and the file as it was.
void PrintShopDialog::save()
{
    JobProgress::refuseWhileRunning();
    mOutput.filter = PdfFilter;
    mOutput.defaultSuffix = QStringLiteral("pdf");
    if (mOutput.fileName.isEmpty())
        mOutput.fileName = proposedFile();
    const std::optional<QString> path = dialogs().saveFile(this, mOutput);
    if (!path)
        return;
    refuseInput(*path);
    const PrintJob shopJob = job();
    const printshop::Options chosen = options();
    const int pages = shopJob.copies * (shopJob.cards.hasBack() ? 2 : 1);
    const PrintShopWriter& writer = installedWriter();
    bool written = false;
    {
        JobProgress progress(QStringLiteral("Nyomdai PDF készül…"), pages);
        const std::string target = QFile::encodeName(*path).toStdString();
        written = writer ? writer(shopJob, chosen, title(), target, progress)
                         : printshop::writePdf(shopJob, chosen, title(), target, progress);
    }
    if (!written)
        return;
    mSettings = {chosen.bleed, chosen.cropMarks, QFileInfo(*path).absolutePath()};
    accept();
}

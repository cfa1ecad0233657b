#include "document/MergeDialog.h"

#include "document/Dialogs.h"
#include "editor/CardPicture.h"
#include "editor/ErrorBox.h"
#include "merge/DataFile.h"
#include "merge/QrCode.h"
#include "print/SheetLayout.h"
#include "print/SheetPainter.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString DataFilter =
    QStringLiteral("Adatfájlok (*.csv;*.txt;*.vcf)|*.csv;*.txt;*.vcf|CSV-táblázat (*.csv)|*.csv;*.txt|"
                   "Névjegyek (*.vcf)|*.vcf|Minden fájl (*)|*");

// The card as the card window shows it: the blank card's picture, the
// layers over it, cut at the card.
class CardView : public QWidget
{
public:
    explicit CardView(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(CardPicture::Size);
    }
    void show(std::vector<LayerItem> layers)
    {
        mLayers = std::move(layers);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, CardPicture::pixmap());
        painter.setClipRect(CardPicture::Card);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        for (const LayerItem& layer : mLayers)
            paintLayer(painter, layer, layer.box);
    }

private:
    std::vector<LayerItem> mLayers;
};

} // namespace

// The records of the data file, a tick before each.
class RecordTable : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void load(std::shared_ptr<const RecordList> list, std::vector<FitOutcome> fits)
    {
        beginResetModel();
        mList = std::move(list);
        mTicked.assign(mList->rows.size(), true);
        mFits = std::move(fits);
        endResetModel();
    }
    FitOutcome fit(std::size_t row) const { return row < mFits.size() ? mFits[row] : FitOutcome::Fits; }
    void tickAll(bool ticked)
    {
        std::fill(mTicked.begin(), mTicked.end(), ticked);
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }

    const std::shared_ptr<const RecordList>& list() const { return mList; }
    const QStringList& columns() const { return mList ? mList->columns : mNone; }
    const QStringList& values(int row) const { return mList->rows[std::size_t(row)]; }
    std::vector<long long> ticked() const
    {
        std::vector<long long> rows;
        for (std::size_t row = 0; row < mTicked.size(); ++row)
            if (mTicked[row])
                rows.push_back(static_cast<long long>(row));
        return rows;
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !mList ? 0 : int(mList->rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(columns().size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const std::size_t row = std::size_t(index.row());
        if (role == Qt::CheckStateRole && index.column() == 0)
            return mTicked[row] ? Qt::Checked : Qt::Unchecked;
        // Whose text is drawn smaller shows at a glance, and whose does not
        // fit at all stands out more.
        if (role == Qt::BackgroundRole && fit(row) != FitOutcome::Fits)
            return QColor(fit(row) == FitOutcome::Shrunk ? 0xfff4c2 : 0xffd0d0);
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            const QString value = mList->rows[row].value(index.column());
            return role == Qt::DisplayRole ? QString(value).replace(u'\n', u' ') : value;
        }
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || index.column() != 0)
            return false;
        mTicked[std::size_t(index.row())] = value.value<Qt::CheckState>() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return columns().value(section);
    }

private:
    std::shared_ptr<const RecordList> mList;
    const QStringList mNone;
    std::vector<bool> mTicked;
    std::vector<FitOutcome> mFits;
};

MergeDialog::MergeDialog(QWidget* parent, std::vector<LayerItem> card, const QString& dataFile)
    : QDialog(parent)
    , mTemplate(std::move(card))
    , mPath(new QLineEdit(this))
    , mBrowse(new QPushButton(QStringLiteral("Tallózás..."), this))
    , mModel(new RecordTable(this))
    , mTable(new QTableView(this))
    , mPreview(new CardView(this))
    , mUnknown(new QLabel(this))
    , mFit(new QLabel(this))
    , mCopies(new QSpinBox(this))
    , mSummary(new QLabel(this))
{
    setObjectName("frm_Korlevel");
    setWindowTitle(QStringLiteral("Körlevél"));

    mPath->setReadOnly(true);
    mPath->setPlaceholderText(QStringLiteral("CSV-táblázat fejléccel, vagy névjegyfájl (vCard)"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Adatfájl:"), this));
    fileRow->addWidget(mPath, 1);
    fileRow->addWidget(mBrowse);

    mTable->setModel(mModel);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setWordWrap(false);
    mTable->horizontalHeader()->setStretchLastSection(true);
    mTable->setMinimumWidth(360);
    auto* all = new QPushButton(QStringLiteral("Mind"), this);
    auto* none = new QPushButton(QStringLiteral("Egyik sem"), this);
    auto* tickRow = new QHBoxLayout;
    tickRow->addWidget(all);
    tickRow->addWidget(none);
    tickRow->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(mTable, 1);
    left->addLayout(tickRow);

    mUnknown->setWordWrap(true);
    mUnknown->setStyleSheet(QStringLiteral("color: #cc0000"));
    mUnknown->setMaximumWidth(CardPicture::Size.width());
    mFit->setObjectName("LblIgazodas");
    mFit->setWordWrap(true);
    mFit->setMaximumWidth(CardPicture::Size.width());
    mCopies->setRange(1, sheet::MaxCopies);
    mCopies->setValue(sheet::Copies);
    auto* copiesForm = mCopiesForm = new QFormLayout;
    copiesForm->addRow(QStringLiteral("Példányszám személyenként:"), mCopies);
    mSummary->setWordWrap(true);
    auto* right = new QVBoxLayout;
    right->addWidget(mPreview);
    right->addWidget(mUnknown);
    right->addWidget(mFit);
    right->addLayout(copiesForm);
    right->addWidget(mSummary);
    right->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 1);
    middle->addLayout(right);

    auto* buttons = new QDialogButtonBox(this);
    mPrint = buttons->addButton(QStringLiteral("Nyomtatás..."), QDialogButtonBox::AcceptRole);
    mPreviewButton = buttons->addButton(QStringLiteral("Előnézet"), QDialogButtonBox::ActionRole);
    mPdf = buttons->addButton(QStringLiteral("PDF mentése..."), QDialogButtonBox::ActionRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Mégse"), QDialogButtonBox::RejectRole);
    mPrint->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
    resize(900, 480);

    connect(mBrowse, &QPushButton::clicked, this, [this] { guarded([this] { browse(); }); });
    connect(all, &QPushButton::clicked, this, [this] { mModel->tickAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { mModel->tickAll(false); });
    connect(mModel, &QAbstractItemModel::dataChanged, this, &MergeDialog::update);
    connect(mModel, &QAbstractItemModel::modelReset, this, &MergeDialog::update);
    connect(mTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guarded([this] { selectionMoved(); }); });
    connect(mCopies, &QSpinBox::valueChanged, this, &MergeDialog::update);
    connect(mPrint, &QPushButton::clicked, this, [this] { guarded([this] { finish(PrintDialog::Action::Print); }); });
    connect(mPreviewButton, &QPushButton::clicked, this,
            [this] { guarded([this] { finish(PrintDialog::Action::Preview); }); });
    connect(mPdf, &QPushButton::clicked, this, [this] { guarded([this] { finish(PrintDialog::Action::Pdf); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    static_cast<CardView*>(mPreview)->show(mTemplate.layers());
    update();
    if (QFileInfo(dataFile).isFile())
        guarded([&] { openData(dataFile); });
    else if (!dataFile.isEmpty())
        mStartFolder = QFileInfo(dataFile).absolutePath() + QLatin1Char('/');
}

MergeDialog::~MergeDialog() = default;

QPushButton* MergeDialog::button(PrintDialog::Action action) const
{
    switch (action) {
    case PrintDialog::Action::Print: return mPrint;
    case PrintDialog::Action::Preview: return mPreviewButton;
    case PrintDialog::Action::Pdf: return mPdf;
    }
    return nullptr;
}

void MergeDialog::choosePeopleOnly()
{
    mPeopleOnly = true;
    mCopies->setValue(1);
    mCopiesForm->setRowVisible(mCopies, false);
    mPreviewButton->hide();
    mPdf->hide();
    mPrint->setText(QStringLiteral("OK"));
    update();
}

void MergeDialog::browse()
{
    Dialogs::FileDialog dialog{DataFilter, QString(), mDataFile.isEmpty() ? mStartFolder : mDataFile};
    if (const std::optional<QString> path = dialogs().openFile(this, dialog))
        openData(*path);
}

// The whole list is read before anything of the dialog changes. That one
// reading is what the job prints: the file is not read again.
void MergeDialog::openData(const QString& path)
{
    std::shared_ptr<const RecordList> list = readRecordList(path);
    if (list->rows.empty())
        throw MergeError("A(z) „" + QFileInfo(path).fileName().toStdString()
                         + "” adatfájlban nincs egyetlen személy (sor) sem.");
    // What fitting does to each person's texts, found once for the list;
    // their codes wait for the job.
    const Columns columns(list->columns);
    std::vector<FitOutcome> fits;
    fits.reserve(list->rows.size());
    for (const QStringList& values : list->rows) {
        const MergeTemplate::FitNote note = mTemplate.fitOf(columns, values);
        fits.push_back(note.tooLong ? FitOutcome::TooLong : note.shrunk ? FitOutcome::Shrunk : FitOutcome::Fits);
    }
    mDataFile = path;
    mPath->setText(path);
    mModel->load(std::move(list), std::move(fits));
    mTable->resizeColumnsToContents();
    mTable->selectRow(0);
    mTable->setCurrentIndex(mModel->index(0, 0));
    selectionMoved();
}

std::vector<LayerItem> MergeDialog::shownCard() const
{
    const int row = mTable->currentIndex().row();
    if (row < 0 || row >= mModel->rowCount())
        return mTemplate.layers();
    return mTemplate.filled(Columns(mModel->columns()), mModel->values(row));
}

// A person whose QR code cannot be made shows the card as designed; the
// print names them.
void MergeDialog::selectionMoved()
{
    try {
        static_cast<CardView*>(mPreview)->show(shownCard());
    } catch (const QrError&) {
        static_cast<CardView*>(mPreview)->show(mTemplate.layers());
    }
}

void MergeDialog::setSheet(const SheetLayout& layout)
{
    if (!mPeopleOnly && mCopies->value() == mSheet.cardCount())
        mCopies->setValue(layout.cardCount());
    mSheet = layout;
    update();
}

void MergeDialog::update()
{
    QStringList unknown;
    for (const QString& name : mTemplate.unknownPlaceholders(Columns(mModel->columns())))
        unknown << QLatin1Char('{') + name + QLatin1Char('}');
    if (mTemplate.placeholders().isEmpty())
        mUnknown->setText(QStringLiteral("A kártyán nincs helyőrző: írjon a szövegekbe {Oszlopnév} alakú mezőket."));
    else if (mModel->rowCount() > 0 && !unknown.isEmpty())
        mUnknown->setText(QStringLiteral("Nincs ilyen oszlop az adatfájlban, ezek változatlanul nyomtatódnak: ")
                          + unknown.join(QStringLiteral(", ")));
    else
        mUnknown->clear();

    showFits();

    const long long people = static_cast<long long>(mModel->ticked().size());
    const long long cards = people * mCopies->value();
    if (mModel->rowCount() == 0)
        mSummary->clear();
    else if (mPeopleOnly)
        mSummary->setText(QStringLiteral("%1 személyből %2 kijelölve.").arg(mModel->rowCount()).arg(people));
    else
        mSummary->setText(QStringLiteral("%1 személyből %2 kijelölve: %3 kártya, %4 lap.")
                              .arg(mModel->rowCount())
                              .arg(people)
                              .arg(cards)
                              .arg((cards + mSheet.cardCount() - 1) / mSheet.cardCount()));
    for (QPushButton* button : {mPrint, mPreviewButton, mPdf})
        button->setEnabled(people > 0);
}

// The ticked people whose texts are drawn smaller, and apart from them
// those whose texts fit at no size, by their rows.
void MergeDialog::showFits()
{
    constexpr int ShownPeople = 12;
    QStringList shrunk;
    QStringList tooLong;
    int shrunkCount = 0;
    int tooLongCount = 0;
    for (long long row : mModel->ticked()) {
        const FitOutcome fit = mModel->fit(std::size_t(row));
        if (fit == FitOutcome::Fits)
            continue;
        QStringList& names = fit == FitOutcome::Shrunk ? shrunk : tooLong;
        int& count = fit == FitOutcome::Shrunk ? shrunkCount : tooLongCount;
        if (++count <= ShownPeople)
            names << QStringLiteral("%1.").arg(row + 1);
    }
    auto line = [](const QString& heading, QStringList names, int count) {
        if (count > int(names.size()))
            names << QStringLiteral("… (összesen %1)").arg(count);
        return heading + names.join(QStringLiteral(", ")) + QStringLiteral(" személy szövege.");
    };
    QStringList lines;
    if (shrunkCount > 0)
        lines << line(QStringLiteral("Kisebb betűvel nyomtatódik, hogy elférjen: "), shrunk, shrunkCount);
    if (tooLongCount > 0)
        lines << line(QStringLiteral("%1 pontos betűvel sem fér el: ").arg(SmallestFitPoints), tooLong, tooLongCount);
    mFit->setText(lines.join(u'\n'));
    mFit->setStyleSheet(tooLongCount > 0 ? QStringLiteral("color: #cc0000") : QString());
}

// Every ticked person's card is made once before the print dialog opens,
// so that one whose QR code cannot be made is named now.
void MergeDialog::finish(PrintDialog::Action action)
{
    const Columns columns(mModel->columns());
    for (long long row : mModel->ticked()) {
        try {
            mTemplate.filled(columns, mModel->values(int(row)));
        } catch (const QrError& error) {
            mTable->selectRow(int(row));
            throw MergeError("A(z) " + std::to_string(row + 1) + ". személy kártyája nem készíthető el: "
                             + error.what());
        }
    }
    mAction = action;
    accept();
}

MergeDialog::Choice MergeDialog::choice() const
{
    Choice chosen;
    chosen.dataFile = mDataFile;
    chosen.list = mModel->list();
    chosen.records = mModel->ticked();
    chosen.people = static_cast<long long>(chosen.records.size());
    if (chosen.people == mModel->rowCount())
        chosen.records.clear();
    chosen.copiesEach = mCopies->value();
    chosen.action = mAction;
    return chosen;
}

#include "document/PrintDialog.h"

#include "document/Dialogs.h"
#include "document/Printing.h"
#include "document/SheetPicker.h"
#include "editor/ErrorBox.h"
#include "print/PrintJob.h"
#include "storage/FileAccess.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString CardFilter = QStringLiteral("Lapora file-ok (*.bcrd)|*.bcrd");
const QString PdfFilter = QStringLiteral("PDF dokumentum (*.pdf)|*.pdf");

QDoubleSpinBox* number(QWidget* parent, double lowest, double highest, double value, const QString& unit)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
    box->setRange(lowest, highest);
    box->setDecimals(2);
    box->setSingleStep(0.1);
    box->setSuffix(QLatin1Char(' ') + unit);
    box->setValue(value);
    return box;
}

// The four readings of the calibration sheet, 20 mm each on an exact
// printer.
std::optional<std::pair<QPointF, QPointF>> askReadings(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Kalibrálás"));
    auto* text = new QLabel(QStringLiteral("Mérje meg a kinyomtatott kalibráló lapon vonalzóval, milliméterben:"),
                            &dialog);
    text->setWordWrap(true);
    QDoubleSpinBox* readings[4];
    for (QDoubleSpinBox*& reading : readings)
        reading = number(&dialog, 0, 60, 20, QStringLiteral("mm"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Bal felső kereszt a bal széltől:"), readings[0]);
    form->addRow(QStringLiteral("Bal felső kereszt a felső széltől:"), readings[1]);
    form->addRow(QStringLiteral("Jobb alsó kereszt a jobb széltől:"), readings[2]);
    form->addRow(QStringLiteral("Jobb alsó kereszt az alsó széltől:"), readings[3]);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Kiszámítás"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Mégse"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::make_pair(QPointF(readings[0]->value(), readings[1]->value()),
                          QPointF(readings[2]->value(), readings[3]->value()));
}

QString shown(double value)
{
    return QLocale(QLocale::Hungarian).toString(value, 'f', 2);
}



} // namespace

PrintDialog::PrintDialog(QWidget* parent, const QStringList& openCards)
    : QDialog(parent)
    , mOpenCards(openCards)
    , mPrinter(new QComboBox(this))
    , mSheet(new QComboBox(this))
    , mNewSheet(new QPushButton(QStringLiteral("Egyéni lap..."), this))
    , mEditSheet(new QPushButton(QStringLiteral("Módosítás..."), this))
    , mDeleteSheet(new QPushButton(QStringLiteral("Törlés"), this))
    , mScaleNote(new QLabel(this))
    , mCopies(new QSpinBox(this))
    , mStart(new QSpinBox(this))
    , mPicker(new SheetPicker(this))
    , mBack(new QComboBox(this))
    , mLongEdge(new QRadioButton(QStringLiteral("hosszú él"), this))
    , mShortEdge(new QRadioButton(QStringLiteral("rövid él"), this))
    , mCalibratePdf(new QCheckBox(QStringLiteral("A PDF-ben is"), this))
    , mCalibrate(new QPushButton(QStringLiteral("Kalibrálás..."), this))
{
    setObjectName("frm_Nyomtatas");
    setWindowTitle(QStringLiteral("Nyomtatás"));

    mPrinter->addItems(printerNames());
    mPrinter->setObjectName("Nyomtato");
    mSheet->setObjectName("Lap");
    mNewSheet->setObjectName("EgyeniLap");
    mEditSheet->setObjectName("LapModositas");
    mDeleteSheet->setObjectName("LapTorles");
    listSheets(QString());
    mScaleNote->setWordWrap(true);
    mScaleNote->hide();

    mCopies->setRange(1, sheet::MaxCopies);
    mCopies->setValue(sheet::Copies);
    mStart->setRange(1, sheet::Copies);
    mStart->setValue(1);

    mBack->addItem(QStringLiteral("Nincs"));
    mBack->addItems(openCards);
    mBack->addItem(QStringLiteral("Kártyafájl..."));
    mLongEdge->setChecked(true);
    auto* edges = new QButtonGroup(this);
    edges->addButton(mLongEdge);
    edges->addButton(mShortEdge);

    const QStringList labels = {QStringLiteral("Eltolás X:"), QStringLiteral("Eltolás Y:"),
                                QStringLiteral("Nagyítás X:"), QStringLiteral("Nagyítás Y:")};
    auto* calibration = new QGroupBox(QStringLiteral("A nyomtató kalibrálása"), this);
    auto* grid = new QGridLayout(calibration);
    grid->addWidget(new QLabel(QStringLiteral("Előlap"), calibration), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Hátlap"), calibration), 0, 2);
    for (int row = 0; row < 4; ++row) {
        grid->addWidget(new QLabel(labels[row], calibration), row + 1, 0);
        for (int side = 0; side < 2; ++side) {
            QDoubleSpinBox*& field = mFields[side * 4 + row];
            field = row < 2 ? number(calibration, -sheet::MaxOffset, sheet::MaxOffset, 0, QStringLiteral("mm"))
                            : number(calibration, sheet::MinScale, sheet::MaxScale, 100, QStringLiteral("%"));
            grid->addWidget(field, row + 1, side + 1);
        }
    }
    grid->addWidget(mCalibratePdf, 5, 1, 1, 2);
    grid->addWidget(mCalibrate, 6, 1, 1, 2);

    auto* form = mForm = new QFormLayout;
    form->addRow(QStringLiteral("Nyomtató:"), mPrinter);
    auto* sheetRow = new QHBoxLayout;
    sheetRow->addWidget(mSheet, 1);
    sheetRow->addWidget(mNewSheet);
    sheetRow->addWidget(mEditSheet);
    sheetRow->addWidget(mDeleteSheet);
    form->addRow(QStringLiteral("Lap:"), sheetRow);
    form->addRow(QStringLiteral("Példányszám:"), mCopies);
    form->addRow(QStringLiteral("Kezdő pozíció:"), mStart);
    form->addRow(QStringLiteral("Hátoldal:"), mBack);
    auto* edgeRow = new QHBoxLayout;
    edgeRow->addWidget(mLongEdge);
    edgeRow->addWidget(mShortEdge);
    edgeRow->addStretch();
    form->addRow(QStringLiteral("Fordítás:"), edgeRow);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(calibration);
    left->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    auto* sheetColumn = new QVBoxLayout;
    sheetColumn->addWidget(new QLabel(QStringLiteral("Az első lap:"), this));
    sheetColumn->addWidget(mPicker);
    sheetColumn->addWidget(mScaleNote);
    sheetColumn->addStretch();
    top->addLayout(sheetColumn);

    auto* buttons = new QDialogButtonBox(this);
    mPrint = buttons->addButton(QStringLiteral("Nyomtatás"), QDialogButtonBox::AcceptRole);
    mPreview = buttons->addButton(QStringLiteral("Előnézet"), QDialogButtonBox::ActionRole);
    mPdf = buttons->addButton(QStringLiteral("PDF mentése..."), QDialogButtonBox::ActionRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Mégse"), QDialogButtonBox::RejectRole);
    mPrint->setDefault(true);
    mPrint->setEnabled(mPrinter->count() > 0);
    mCalibrate->setEnabled(mPrinter->count() > 0);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(mStart, &QSpinBox::valueChanged, mPicker, &SheetPicker::setStart);
    connect(mPicker, &SheetPicker::startChosen, mStart, &QSpinBox::setValue);
    connect(mPrinter, &QComboBox::currentIndexChanged, this, [this] { guarded([this] { printerChosen(); }); });
    connect(mSheet, &QComboBox::currentIndexChanged, this, [this](int index) { guarded([&] { sheetChosen(index); }); });
    connect(mNewSheet, &QPushButton::clicked, this, [this] { guarded([this] { editSheet(false); }); });
    connect(mEditSheet, &QPushButton::clicked, this, [this] { guarded([this] { editSheet(true); }); });
    connect(mDeleteSheet, &QPushButton::clicked, this, [this] { guarded([this] { removeSheet(); }); });
    connect(mBack, &QComboBox::activated, this, [this](int index) { guarded([&] { backChosen(index); }); });
    connect(mCalibrate, &QPushButton::clicked, this, [this] { guarded([this] { calibrate(); }); });
    connect(mPrint, &QPushButton::clicked, this, [this] { guarded([this] { finish(Action::Print); }); });
    connect(mPreview, &QPushButton::clicked, this, [this] { guarded([this] { finish(Action::Preview); }); });
    connect(mPdf, &QPushButton::clicked, this, [this] { guarded([this] { finish(Action::Pdf); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    backChosen(0);
    printerChosen();
    sheetChosen(mSheet->currentIndex());
}

QPushButton* PrintDialog::button(Action action) const
{
    switch (action) {
    case Action::Print: return mPrint;
    case Action::Preview: return mPreview;
    case Action::Pdf: return mPdf;
    }
    return nullptr;
}

void PrintDialog::setMergeCards(int cards, Action preferred)
{
    mCopies->setRange(1, std::max(cards, 1));
    mCopies->setValue(cards);
    mCopies->setEnabled(false);
    if (auto* label = qobject_cast<QLabel*>(mForm->labelForField(mCopies)))
        label->setText(QStringLiteral("Kártyák összesen:"));
    for (Action action : {Action::Print, Action::Preview, Action::Pdf})
        button(action)->setDefault(action == preferred);
    if (button(preferred)->isEnabled())
        button(preferred)->setFocus();
}

void PrintDialog::printerChosen()
{
    mStored = calibrationOf(mPrinter->currentText());
    showCalibration(mStored);
    // The stock last used with this printer, while the program knows it.
    if (const int last = mSheet->findText(lastSheetOf(mPrinter->currentText())); last >= 0)
        mSheet->setCurrentIndex(last);
}

// "Kártyafájl..." asks for the file at once; without one the back stays
// as it was.
void PrintDialog::backChosen(int index)
{
    const int fileEntry = mBack->count() - 1;
    if (index == fileEntry) {
        Dialogs::FileDialog dialog{CardFilter, QStringLiteral("bcrd"), mBackFile};
        if (const std::optional<QString> path = dialogs().openFile(this, dialog)) {
            mBackFile = *path;
            mBack->setItemText(fileEntry, QStringLiteral("Kártyafájl: ") + *path);
        } else if (mBackFile.isEmpty()) {
            mBack->setCurrentIndex(0);
        }
    }
    const bool hasBack = mBack->currentIndex() > 0;
    mLongEdge->setEnabled(hasBack);
    mShortEdge->setEnabled(hasBack);
}

void PrintDialog::showCalibration(const sheet::PrinterCalibration& calibration)
{
    const sheet::Calibration* sides[2] = {&calibration.front, &calibration.back};
    for (int side = 0; side < 2; ++side) {
        mFields[side * 4 + 0]->setValue(sides[side]->offset.x());
        mFields[side * 4 + 1]->setValue(sides[side]->offset.y());
        mFields[side * 4 + 2]->setValue(sides[side]->scale.x());
        mFields[side * 4 + 3]->setValue(sides[side]->scale.y());
    }
}

sheet::PrinterCalibration PrintDialog::shownCalibration() const
{
    sheet::PrinterCalibration calibration;
    sheet::Calibration* sides[2] = {&calibration.front, &calibration.back};
    for (int side = 0; side < 2; ++side) {
        sides[side]->offset = {mFields[side * 4 + 0]->value(), mFields[side * 4 + 1]->value()};
        sides[side]->scale = {mFields[side * 4 + 2]->value(), mFields[side * 4 + 3]->value()};
    }
    return calibration;
}

void PrintDialog::calibrate()
{
    std::unique_ptr<QPrinter> printer = printerNamed(mPrinter->currentText());
    // On the paper of the chosen stock, which the readings are taken from.
    const SheetLayout& layout = chosenSheet();
    printCalibrationSheet(*printer, layout);
    const auto readings = askReadings(this);
    if (!readings)
        return;
    const sheet::Calibration front =
        sheet::calibrationFromReadings(readings->first, readings->second, layout.paperSize());
    const QString result =
        QStringLiteral("A mérés szerint a(z) „%1” nyomtató előlapjához:\n\n"
                       "eltolás: X %2 mm, Y %3 mm\nnagyítás: X %4 %, Y %5 %\n\nMegtartja ezeket az értékeket?")
            .arg(mPrinter->currentText(), shown(front.offset.x()), shown(front.offset.y()), shown(front.scale.x()),
                 shown(front.scale.y()));
    if (dialogs().question(this, QStringLiteral("Kalibrálás"), result) != Dialogs::Answer::Yes)
        return;
    sheet::PrinterCalibration calibration = shownCalibration();
    calibration.front = front;
    showCalibration(calibration);
    keepCalibration(mPrinter->currentText(), calibration);
    mStored = calibration;
}

void PrintDialog::finish(Action action)
{
    if (action == Action::Pdf) {
        Dialogs::FileDialog dialog{PdfFilter, QStringLiteral("pdf"), mPdfFile};
        const std::optional<QString> path = dialogs().saveFile(this, dialog);
        if (!path)
            return;
        QStringList inputs = mInputFiles;
        if (mBack->currentIndex() == mBack->count() - 1 && !mBackFile.isEmpty())
            inputs << mBackFile;
        for (const QString& input : inputs) {
            if (!input.isEmpty() && sameFile(QFile::encodeName(*path).toStdString(), QFile::encodeName(input).toStdString()))
                throw std::runtime_error("A PDF nem menthető a(z) \u201E" + path->toStdString()
                                         + "\u201D f\u00E1jlba: ezt a f\u00E1jlt olvassa a nyomtat\u00E1s. "
                                           "V\u00E1lasszon m\u00E1s nevet.");
        }
        mPdfFile = *path;
    }
    if (mPrinter->count() > 0 && mSheet->currentText() != lastSheetOf(mPrinter->currentText()))
        keepLastSheet(mPrinter->currentText(), mSheet->currentText());
    if (mPrinter->count() > 0 && shownCalibration() != mStored) {
        keepCalibration(mPrinter->currentText(), shownCalibration());
        mStored = shownCalibration();
    }
    mAction = action;
    if (action == Action::Preview && mShowPreview) {
        mShowPreview(choice());
        return;
    }
    accept();
}

PrintDialog::Choice PrintDialog::choice() const
{
    Choice chosen;
    chosen.action = mAction;
    chosen.printer = mPrinter->currentText();
    chosen.sheet = chosenSheet();
    chosen.copies = mCopies->value();
    chosen.start = mStart->value();
    const int back = mBack->currentIndex();
    if (back > 0 && back <= mOpenCards.size())
        chosen.backCard = back - 1;
    else if (back == mBack->count() - 1 && back > 0)
        chosen.backFile = mBackFile;
    chosen.flip = mShortEdge->isChecked() ? sheet::Flip::Short : sheet::Flip::Long;
    chosen.calibration = shownCalibration();
    chosen.calibratePdf = mCalibratePdf->isChecked();
    chosen.pdfFile = mPdfFile;
    return chosen;
}

QStringList PrintDialog::printerNames()
{
    const QString preferred = QPrinterInfo::defaultPrinterName();
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(preferred);
    if (!preferred.isEmpty())
        names.prepend(preferred);
    return names;
}

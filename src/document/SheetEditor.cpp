#include "document/SheetEditor.h"

#include "document/SheetPicker.h"
#include "editor/ErrorBox.h"
#include "print/SavedSheets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Far beyond any paper the program prints on, so that a layout too large
// is pictured and refused rather than cut off by the field.
constexpr double LargestMm = 999;
constexpr int MostCards = 50;

QLocale hungarian()
{
    return QLocale(QLocale::Hungarian, QLocale::Hungary);
}

QDoubleSpinBox* millimetres(QWidget* parent, const QString& objectName, double value)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(objectName);
    box->setLocale(hungarian());
    box->setRange(0, LargestMm);
    box->setDecimals(2);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    box->setValue(value);
    return box;
}

QSpinBox* count(QWidget* parent, const QString& objectName, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(objectName);
    box->setRange(1, MostCards);
    box->setValue(value);
    return box;
}

// A stock card's side as typed: with a decimal comma or point; empty for
// the pitch.
std::optional<double> typedMm(const QString& text, double pitch)
{
    QString typed = text.trimmed();
    if (typed.endsWith(QStringLiteral("mm")))
        typed = typed.chopped(2).trimmed();
    if (typed.isEmpty())
        return pitch;
    bool ok = false;
    const double value = QLocale::c().toDouble(QString(typed).replace(u',', u'.'), &ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

QString shownMm(double value)
{
    return hungarian().toString(value, 'f', 2);
}

} // namespace

SheetEditor::SheetEditor(QWidget* parent, const SheetLayout& start, bool edited)
    : QDialog(parent)
    , mOriginalName(edited ? start.name : QString())
    , mName(new QLineEdit(edited ? start.name : QString(), this))
    , mPaper(new QComboBox(this))
    , mColumns(count(this, QStringLiteral("Oszlopok"), start.columns))
    , mRows(count(this, QStringLiteral("Sorok"), start.rows))
    , mLeft(millimetres(this, QStringLiteral("Bal"), start.first.x()))
    , mTop(millimetres(this, QStringLiteral("Felso"), start.first.y()))
    , mDx(millimetres(this, QStringLiteral("DX"), start.pitch.x()))
    , mDy(millimetres(this, QStringLiteral("DY"), start.pitch.y()))
    , mWidth(new QLineEdit(this))
    , mHeight(new QLineEdit(this))
    , mMarks(new QCheckBox(QStringLiteral("Vágójelek a kártyák sarkainál"), this))
    , mPicture(new SheetPicker(this))
    , mFault(new QLabel(this))
{
    setObjectName("frm_EgyeniLap");
    setWindowTitle(QStringLiteral("Egyéni lap"));
    mName->setObjectName("Nev");
    mName->setMaxLength(60);
    mPaper->setObjectName("Papir");
    mPaper->addItems({paperName(sheet::PaperSize::A4), paperName(sheet::PaperSize::Letter)});
    mPaper->setCurrentIndex(start.paper == sheet::PaperSize::Letter ? 1 : 0);
    mWidth->setObjectName("W");
    mHeight->setObjectName("H");
    // A stock card as large as the pitch is shown as the empty field it
    // reads as.
    if (start.card != QSizeF(start.pitch.x(), start.pitch.y())) {
        mWidth->setText(shownMm(start.card.width()));
        mHeight->setText(shownMm(start.card.height()));
    }
    mMarks->setObjectName("Vagojelek");
    mMarks->setChecked(start.marks);
    mPicture->setChoosing(false);
    mPicture->setPixelsPerMm(1);
    mFault->setObjectName("Hiba");
    mFault->setWordWrap(true);
    mFault->setStyleSheet(QStringLiteral("color: #a40000"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Név:"), mName);
    form->addRow(QStringLiteral("Papír:"), mPaper);
    form->addRow(QStringLiteral("Oszlopok:"), mColumns);
    form->addRow(QStringLiteral("Sorok:"), mRows);
    form->addRow(QStringLiteral("Bal margó:"), mLeft);
    form->addRow(QStringLiteral("Felső margó:"), mTop);
    form->addRow(QStringLiteral("Vízszintes lépés (DX):"), mDx);
    form->addRow(QStringLiteral("Függőleges lépés (DY):"), mDy);
    form->addRow(QStringLiteral("Kártya szélessége (W):"), mWidth);
    form->addRow(QStringLiteral("Kártya magassága (H):"), mHeight);
    form->addRow(QString(), mMarks);
    auto* hint = new QLabel(QStringLiteral("A margók az első kártya sarkáig, a lépések egyik kártya sarkától a "
                                           "következőéig értendők. Üres szélesség vagy magasság: a lépéssel egyenlő."),
                            this);
    hint->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(hint);
    left->addWidget(mFault);
    left->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(mPicture, 0, Qt::AlignTop);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(QStringLiteral("Mentés"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Mégse"), QDialogButtonBox::RejectRole);
    save->setObjectName("Mentes");
    save->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(save, &QPushButton::clicked, this, [this] { guarded([this] { this->save(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(mPaper, &QComboBox::currentIndexChanged, this, &SheetEditor::fieldsChanged);
    for (QSpinBox* box : {mColumns, mRows})
        connect(box, &QSpinBox::valueChanged, this, &SheetEditor::fieldsChanged);
    for (QDoubleSpinBox* box : {mLeft, mTop, mDx, mDy})
        connect(box, &QDoubleSpinBox::valueChanged, this, &SheetEditor::fieldsChanged);
    for (QLineEdit* field : {mWidth, mHeight})
        connect(field, &QLineEdit::textChanged, this, &SheetEditor::fieldsChanged);
    fieldsChanged();
}

std::optional<SheetLayout> SheetEditor::layout() const
{
    SheetLayout made;
    made.name = mName->text().trimmed();
    made.paper = mPaper->currentIndex() == 1 ? sheet::PaperSize::Letter : sheet::PaperSize::A4;
    made.columns = mColumns->value();
    made.rows = mRows->value();
    made.first = {mLeft->value(), mTop->value()};
    made.pitch = {mDx->value(), mDy->value()};
    const std::optional<double> width = typedMm(mWidth->text(), made.pitch.x());
    const std::optional<double> height = typedMm(mHeight->text(), made.pitch.y());
    if (!width || !height)
        return std::nullopt;
    made.card = {*width, *height};
    made.marks = mMarks->isChecked();
    return made;
}

QString SheetEditor::fault() const
{
    const std::optional<SheetLayout> made = layout();
    if (!made)
        return QStringLiteral("a kártya szélessége és magassága milliméterben megadott szám, vagy üres");
    return sheetFault(*made).value_or(QString());
}

// The picture shows the layout as it stands, faults and all: cards off the
// paper or on one another are what the note below explains.
void SheetEditor::fieldsChanged()
{
    mWidth->setPlaceholderText(shownMm(mDx->value()));
    mHeight->setPlaceholderText(shownMm(mDy->value()));
    if (const std::optional<SheetLayout> made = layout())
        mPicture->setSheet(*made);
    const QString why = fault();
    mFault->setText(why.isEmpty() ? QString() : QStringLiteral("Ez a lap nem nyomtatható: ") + why + '.');
}

void SheetEditor::save()
{
    const std::optional<SheetLayout> made = layout();
    const QString name = mName->text().trimmed();
    if (name.isEmpty())
        throw SheetError("Adjon nevet a saját lapnak.");
    if (const QString why = fault(); !why.isEmpty())
        throw SheetError(("A lap így nem menthető: " + why).toStdString());
    if (savedSheetsFile().isEmpty())
        throw SheetError("A saját lapok nem menthetők: a beállítások fájlja nem ismert.");
    const IniFile ini(savedSheetsFile());
    const bool renamed = name.compare(mOriginalName, Qt::CaseInsensitive) != 0;
    if (renamed && savedSheetNames(ini).contains(name, Qt::CaseInsensitive))
        throw SheetError(QStringLiteral("Már van „%1” nevű saját lap; adjon más nevet.").arg(name).toStdString());
    saveSheet(ini, *made);
    if (renamed && !mOriginalName.isEmpty())
        removeSavedSheet(ini, mOriginalName);
    mSavedName = name;
    accept();
}

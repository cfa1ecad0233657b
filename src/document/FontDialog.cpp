#include "document/FontDialog.h"

#include "editor/FieldEditors.h"
#include "layer/Fonts.h"
#include "layer/LayerLook.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The longest face name a text layer stores.
constexpr int FaceLength = 50;
// Sizes the list offers; any other can be typed.
constexpr int OfferedSizes[] = {6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 40, 48, 60, 72};
// The sample stays readable whatever the size.
constexpr int LargestSamplePixels = 40;

QListWidgetItem* itemNamed(QListWidget* list, const QString& text)
{
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text().compare(text, Qt::CaseInsensitive) == 0)
            return list->item(row);
    return nullptr;
}

// Selects the entry that matches the text, or none, without taking the
// text from the list.
void selectMatching(QListWidget* list, const QString& text)
{
    const QSignalBlocker blocked(list);
    QListWidgetItem* item = itemNamed(list, text);
    list->setCurrentItem(item);
    if (item)
        list->scrollToItem(item);
    else
        list->clearSelection();
}

} // namespace

FontDialog::FontDialog(QWidget* parent, const Dialogs::FontChoice& initial)
    : QDialog(parent)
    , mInitial(initial)
    , mColor(initial.color)
    , mFace(new QLineEdit(initial.family, this))
    , mFaces(new QListWidget(this))
    , mSize(new QLineEdit(QString::number(initial.points), this))
    , mSizes(new QListWidget(this))
    , mBold(new QCheckBox(QStringLiteral("Félkövér"), this))
    , mItalic(new QCheckBox(QStringLiteral("Dőlt"), this))
    , mUnderline(new QCheckBox(QStringLiteral("Aláhúzott"), this))
    , mStrikeOut(new QCheckBox(QStringLiteral("Áthúzott"), this))
    , mColorButton(new QPushButton(QStringLiteral("&Szín…"), this))
    , mSample(new QLabel(QStringLiteral("AaBbÁáŐőŰű 123"), this))
{
    setObjectName("FontDialog1");
    setWindowTitle(QStringLiteral("Betűtípus"));
    mFace->setObjectName("Face");
    mFaces->setObjectName("Faces");
    mSize->setObjectName("Size");
    mSizes->setObjectName("Sizes");
    mFace->setValidator(new StorableTextValidator(FaceLength, mFace));
    mSize->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,5}")), mSize));

    // The card's own face is offered even where the system has no font of
    // that name and draws it with another.
    QStringList faces = installedFontFamilies();
    if (!initial.family.isEmpty() && !faces.contains(initial.family, Qt::CaseInsensitive)) {
        faces.append(initial.family);
        std::sort(faces.begin(), faces.end(),
                  [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    }
    mFaces->addItems(faces);
    for (int size : OfferedSizes)
        mSizes->addItem(QString::number(size));

    mBold->setChecked(initial.bold);
    mItalic->setChecked(initial.italic);
    mUnderline->setChecked(initial.underline);
    mStrikeOut->setChecked(initial.strikeOut);

    auto* style = new QGroupBox(QStringLiteral("Betűstílus"), this);
    auto* styleBoxes = new QVBoxLayout(style);
    styleBoxes->addWidget(mBold);
    styleBoxes->addWidget(mItalic);
    auto* effects = new QGroupBox(QStringLiteral("Hatások"), this);
    auto* effectBoxes = new QVBoxLayout(effects);
    effectBoxes->addWidget(mUnderline);
    effectBoxes->addWidget(mStrikeOut);
    effectBoxes->addWidget(mColorButton);
    auto* sampleBox = new QGroupBox(QStringLiteral("Minta"), this);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    mSample->setMinimumSize(320, 56);
    mSample->setAlignment(Qt::AlignCenter);
    sampleLayout->addWidget(mSample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    mOk = buttons->button(QDialogButtonBox::Ok);
    mOk->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Mégse"));

    auto* faceLabel = new QLabel(QStringLiteral("&Betűtípus:"), this);
    faceLabel->setBuddy(mFace);
    auto* sizeLabel = new QLabel(QStringLiteral("&Méret:"), this);
    sizeLabel->setBuddy(mSize);
    auto* grid = new QGridLayout(this);
    grid->addWidget(faceLabel, 0, 0);
    grid->addWidget(sizeLabel, 0, 1);
    grid->addWidget(mFace, 1, 0);
    grid->addWidget(mSize, 1, 1);
    grid->addWidget(mFaces, 2, 0, 2, 1);
    grid->addWidget(mSizes, 2, 1, 2, 1);
    grid->addWidget(style, 2, 2);
    grid->addWidget(effects, 3, 2);
    grid->addWidget(sampleBox, 4, 0, 1, 3);
    grid->addWidget(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(0, 3);
    mSizes->setMaximumWidth(80);
    mFaces->setMinimumHeight(180);

    connect(mFace, &QLineEdit::textEdited, this, &FontDialog::faceTyped);
    connect(mSize, &QLineEdit::textEdited, this, &FontDialog::sizeTyped);
    connect(mFaces, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            return;
        mFace->setText(text);
        showSample();
    });
    connect(mSizes, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            return;
        mSize->setText(text);
        showSample();
    });
    for (QCheckBox* box : {mBold, mItalic, mUnderline, mStrikeOut})
        connect(box, &QCheckBox::toggled, this, &FontDialog::showSample);
    connect(mColorButton, &QPushButton::clicked, this, &FontDialog::chooseColor);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    selectMatching(mFaces, initial.family);
    selectMatching(mSizes, mSize->text());
    showColor();
    showSample();
}

void FontDialog::faceTyped(const QString& text)
{
    selectMatching(mFaces, text);
    showSample();
}

void FontDialog::sizeTyped(const QString& text)
{
    selectMatching(mSizes, text);
    showSample();
}

// What the dialog holds now; the size the user left alone is the size it
// was given, whatever its text.
Dialogs::FontChoice FontDialog::choice() const
{
    Dialogs::FontChoice chosen = mInitial;
    chosen.family = mFace->text().isEmpty() ? mInitial.family : mFace->text();
    bool whole = false;
    const int points = mSize->text().toInt(&whole);
    if (whole && mSize->text() != QString::number(mInitial.points))
        chosen.points = points;
    chosen.bold = mBold->isChecked();
    chosen.italic = mItalic->isChecked();
    chosen.underline = mUnderline->isChecked();
    chosen.strikeOut = mStrikeOut->isChecked();
    chosen.color = mColor;
    return chosen;
}

// OK needs a face and a whole size of at least one point (or the face and
// size the layer had).
void FontDialog::showSample()
{
    bool whole = false;
    const int points = mSize->text().toInt(&whole);
    const bool sizeKept = mSize->text() == QString::number(mInitial.points);
    if (mOk)
        mOk->setEnabled((!mFace->text().isEmpty() || mInitial.family.isEmpty()) && whole && (points >= 1 || sizeKept));
    const Dialogs::FontChoice chosen = choice();
    QFont font = layerFont(chosen.family, std::max(1, chosen.points), chosen.bold, chosen.italic, chosen.underline);
    font.setStrikeOut(chosen.strikeOut);
    font.setPixelSize(std::min(font.pixelSize(), LargestSamplePixels));
    mSample->setFont(font);
    QPalette colours = mSample->palette();
    colours.setColor(QPalette::WindowText, mColor);
    mSample->setPalette(colours);
}

void FontDialog::showColor()
{
    QPixmap swatch(16, 16);
    swatch.fill(mColor);
    mColorButton->setIcon(QIcon(swatch));
}

void FontDialog::chooseColor()
{
    const QColor chosen = QColorDialog::getColor(mColor, this, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return;
    mColor = chosen;
    showColor();
    showSample();
}

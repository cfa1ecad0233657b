#include "document/QrDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int PreviewSide = 180;
constexpr char Levels[] = {'L', 'M', 'Q', 'H'};
const QString WarningStyle = QStringLiteral("color: #cc0000");

QWidget* contactPage(QWidget* parent, std::array<QLineEdit*, Contact::FieldCount>& fields)
{
    auto* page = new QWidget(parent);
    auto* form = new QFormLayout(page);
    auto add = [&](QFormLayout* into, Contact::Field field) {
        fields[field] = new QLineEdit(page);
        fields[field]->setObjectName(QString::fromLatin1(contactKey(field)));
        into->addRow(contactCaption(field) + QLatin1Char(':'), fields[field]);
    };
    for (Contact::Field field : {Contact::Family, Contact::Given, Contact::Org, Contact::Title, Contact::Tel,
                                 Contact::Mobile, Contact::Email, Contact::Url})
        add(form, field);
    auto* address = new QGroupBox(QStringLiteral("Cím"), page);
    auto* addressForm = new QFormLayout(address);
    for (Contact::Field field : {Contact::Street, Contact::City, Contact::Zip, Contact::Country})
        add(addressForm, field);
    form->addRow(address);
    return page;
}

} // namespace

QrDialog::QrDialog(QWidget* parent, const QrContents& initial, double boxPixels)
    : QDialog(parent)
    , mBoxPixels(boxPixels)
    , mPages(new QTabWidget(this))
    , mText(new QPlainTextEdit(this))
    , mLevel(new QComboBox(this))
    , mPreview(new QLabel(this))
    , mModule(new QLabel(this))
    , mWarning(new QLabel(this))
{
    setObjectName("frm_QrKod");
    setWindowTitle(QStringLiteral("QR-kód"));

    mPages->addTab(contactPage(mPages, mFields), QStringLiteral("Névjegy"));
    auto* textPage = new QWidget(mPages);
    auto* textLayout = new QVBoxLayout(textPage);
    textLayout->addWidget(new QLabel(QStringLiteral("Szöveg vagy webcím:"), textPage));
    mText->setParent(textPage);
    mText->setTabChangesFocus(true);
    textLayout->addWidget(mText);
    mPages->addTab(textPage, QStringLiteral("Szöveg"));

    mLevel->addItem(QStringLiteral("L – alacsony (7%)"));
    mLevel->addItem(QStringLiteral("M – közepes (15%)"));
    mLevel->addItem(QStringLiteral("Q – erős (25%)"));
    mLevel->addItem(QStringLiteral("H – legerősebb (30%)"));

    mPreview->setFixedSize(PreviewSide, PreviewSide);
    mPreview->setAlignment(Qt::AlignCenter);
    mPreview->setFrameShape(QFrame::StyledPanel);
    mWarning->setWordWrap(true);
    mWarning->setStyleSheet(WarningStyle);
    mWarning->setMaximumWidth(PreviewSide);

    auto* side = new QVBoxLayout;
    side->addWidget(mPreview);
    side->addWidget(mModule);
    side->addWidget(mWarning);
    side->addStretch();
    auto* levelRow = new QFormLayout;
    levelRow->addRow(QStringLiteral("Hibajavítás:"), mLevel);
    auto* left = new QVBoxLayout;
    left->addWidget(mPages);
    left->addLayout(levelRow);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(side);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    mOk = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Mégse"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    for (int field = 0; field < Contact::FieldCount; ++field)
        mFields[field]->setText(initial.contact[Contact::Field(field)]);
    mText->setPlainText(initial.text);
    mPages->setCurrentIndex(initial.isContact ? 0 : 1);
    mLevel->setCurrentIndex(int(std::string_view(Levels, 4).find(initial.level)));
    if (mLevel->currentIndex() < 0)
        mLevel->setCurrentIndex(1);

    for (QLineEdit* field : mFields)
        connect(field, &QLineEdit::textChanged, this, &QrDialog::showCode);
    connect(mText, &QPlainTextEdit::textChanged, this, &QrDialog::showCode);
    connect(mLevel, &QComboBox::currentIndexChanged, this, &QrDialog::showCode);
    connect(mPages, &QTabWidget::currentChanged, this, &QrDialog::showCode);
    showCode();
    (initial.isContact ? static_cast<QWidget*>(mFields[Contact::Family]) : mText)->setFocus();
}

QrDialog::~QrDialog() = default;

QrContents QrDialog::contents() const
{
    QrContents contents;
    contents.isContact = mPages->currentIndex() == 0;
    for (int field = 0; field < Contact::FieldCount; ++field)
        contents.contact[Contact::Field(field)] = mFields[field]->text();
    contents.text = mText->toPlainText();
    contents.level = Levels[std::max(0, mLevel->currentIndex())];
    // Only the page shown is kept: the other one's leftovers are not.
    if (contents.isContact)
        contents.text.clear();
    else
        contents.contact = Contact();
    return contents;
}

QString smallModuleWarning()
{
    return QStringLiteral("Figyelem: %1 mm-nél kisebb modult a telefonok nehezen olvasnak. "
                          "Nagyítsa a réteget, vagy rövidítse a tartalmat.")
        .arg(QLocale(QLocale::Hungarian).toString(MinimumModuleMm, 'f', 1));
}

// The code as it is now, drawn as the card draws it; what cannot be made
// says why in place of the module size.
void QrDialog::showCode()
{
    const QrContents now = contents();
    QPixmap shown(PreviewSide - 4, PreviewSide - 4);
    shown.fill(palette().color(QPalette::Base));
    const QByteArray payload = qrPayload(now);
    try {
        mCode = payload.isEmpty() ? nullptr : std::make_unique<QrMatrix>(encodeQr(payload, now.level));
    } catch (const QrError& error) {
        mCode.reset();
        mWarning->setText(QString::fromUtf8(error.what()));
    }
    if (!mCode) {
        // Nothing typed yet is no fault: a hint, not a warning.
        if (payload.isEmpty())
            mWarning->setText(QStringLiteral("Adjon meg legalább egy adatot."));
        mWarning->setStyleSheet(payload.isEmpty() ? QString() : WarningStyle);
        mPreview->setPixmap(shown);
        mModule->clear();
        mOk->setEnabled(false);
        return;
    }
    QPainter painter(&shown);
    paintQr(painter, *mCode, QRectF(shown.rect()));
    painter.end();
    mPreview->setPixmap(shown);
    const double module = moduleMillimetres(*mCode, mBoxPixels);
    const QLocale hungarian(QLocale::Hungarian);
    // Cut, not rounded, to two places: 0.397 mm shows as 0,39 beside the
    // warning of 0,4.
    mModule->setText(QStringLiteral("Egy modul nyomtatva: %1 mm")
                         .arg(hungarian.toString(std::floor(module * 100) / 100, 'f', 2)));
    mWarning->setText(module < MinimumModuleMm ? smallModuleWarning() : QString());
    mWarning->setStyleSheet(WarningStyle);
    mOk->setEnabled(true);
}

#include "app/AboutBox.h"

#include "Version.h"

#include "editor/ImageList.h"
#include "print/SheetLayout.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <memory>

namespace {

constexpr int LaporaImage = 22;
const QColor MoneyGreen(192, 220, 192);
const QColor Cream(255, 251, 240);

QLabel* label(QWidget* parent, const char* name, QRect geometry, const QString& text, Qt::Alignment alignment)
{
    auto* caption = new QLabel(text, parent);
    caption->setObjectName(name);
    caption->setGeometry(geometry);
    caption->setAlignment(alignment | Qt::AlignTop);
    return caption;
}

// Arial bold of a given character height, on a background of its own.
void banner(QLabel* caption, int pixels, const QColor& background)
{
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(pixels);
    caption->setFont(font);
    caption->setAutoFillBackground(true);
    QPalette colours = caption->palette();
    colours.setColor(QPalette::Window, background);
    caption->setPalette(colours);
}

} // namespace

Tfrm_Lapora::Tfrm_Lapora(QWidget* parent)
    : PlacedDialog(QStringLiteral("frm_Lapora"), parent)
{
    setObjectName("frm_Lapora");
    setWindowTitle(QStringLiteral("Lapora"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(606, 281);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(24, 12, 557, 217);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Image1 = label(Panel1, "Image1", {14, 10, 64, 64}, QString(), Qt::AlignLeft);
    Image1->setPixmap(ImageList::pixmap(LaporaImage).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ProductName = label(Panel1, "ProductName", {92, 12, 145, 49}, QString(), Qt::AlignRight);
    banner(ProductName, 19, MoneyGreen);
    Label3 = label(Panel1, "Label3", {260, 12, 285, 21}, QStringLiteral("Laporakártya tervező program"),
                   Qt::AlignHCenter);
    banner(Label3, 15, Cream);
    Comments = label(Panel1, "Comments", {272, 44, 261, 61},
                     QStringLiteral("\nTovábbi információkat a felhasználói jogokról keresse a dokumentáció ezen "
                                    "pontja alatt."),
                     Qt::AlignLeft);
    Comments->setWordWrap(true);
    Notice = label(Panel1, "Notice", {154, 68, 110, 40},
                   QStringLiteral("© 2026 Lapora\nSzabad szoftver, GPL 3+"), Qt::AlignRight);
    Notice->setWordWrap(true);
    Version = label(Panel1, "Version", {14, 82, 135, 20}, QString(), Qt::AlignLeft);
    Label2 = label(Panel1, "Label2", {12, 120, 533, 21}, QStringLiteral("Elérhetőség"), Qt::AlignHCenter);
    banner(Label2, 15, Cream);
    Label1 = label(Panel1, "Label1", {12, 144, 533, 57},
                   QStringLiteral("A Lapora fejlesztői\nMobil: +36 30 000 0000\n%1\n%2")
                       .arg(QString::fromLatin1(sheet::HomePage), QString::fromLatin1(MakerMail)),
                   Qt::AlignHCenter);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(267, 244, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

void Tfrm_Lapora::FormCreate()
{
    ProductName->setText(QStringLiteral("Lapora2\nV2.0.0.32"));
    Version->setText(QStringLiteral("Kiadás: " LAPORA_VERSION));
}

void ShowAbout()
{
    auto box = std::make_unique<Tfrm_Lapora>();
    box->exec();
}

#include "document/ReductionDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double Kilobyte = 1024;
constexpr double Megabyte = 1024 * 1024;

QString shownPixels(QSize size)
{
    return QStringLiteral("%1 × %2 képpont").arg(size.width()).arg(size.height());
}

} // namespace

QString shownFileSize(std::size_t bytes)
{
    // Rounded up, so that a small file never reads as nothing.
    if (bytes < 0.1 * Megabyte)
        return QStringLiteral("%1 kB").arg(qint64(std::ceil(bytes / Kilobyte)));
    return QString::number(bytes / Megabyte, 'f', 1).replace(u'.', u',') + QStringLiteral(" MB");
}

QString reductionText(const Dialogs::ReductionOffer& offer)
{
    return QStringLiteral("A kép több képpontból áll, mint amennyit a kártyán elfoglalt helyén a nyomtatás "
                          "(600 ppi) kihasznál; teljes méretében feleslegesen nagy lesz tőle a kártyafájl.\n\n"
                          "Jelenleg: %1, %2\nKicsinyítve: %3, %4\n\nMegtakarítás: %2 → %4\n\n"
                          "Kicsinyítve tárolja a képet?")
        .arg(shownPixels(offer.pixels), shownFileSize(offer.bytes), shownPixels(offer.reducedPixels),
             shownFileSize(offer.reducedBytes));
}

ReductionDialog::ReductionDialog(QWidget* parent, const Dialogs::ReductionOffer& offer)
    : QDialog(parent)
    , mText(new QLabel(reductionText(offer), this))
    , mRemember(new QCheckBox(QStringLiteral("Ne kérdezze többé"), this))
{
    setObjectName("frm_Kicsinyites");
    setWindowTitle(QStringLiteral("Kép kicsinyítése"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    mText->setObjectName("Szoveg");
    mText->setWordWrap(true);
    mRemember->setObjectName("NeKerdezze");
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto* buttons = new QDialogButtonBox(this);
    mReduce = buttons->addButton(QStringLiteral("Kicsinyítés"), QDialogButtonBox::AcceptRole);
    mKeep = buttons->addButton(QStringLiteral("Eredeti megtartása"), QDialogButtonBox::RejectRole);
    mReduce->setDefault(true);
    connect(mReduce, &QPushButton::clicked, this, [this] {
        mAnswered = mReduced = true;
        accept();
    });
    connect(mKeep, &QPushButton::clicked, this, [this] {
        mAnswered = true;
        reject();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(mText, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(mRemember);
    layout->addWidget(buttons);
    setFixedWidth(420);
}

// Closed by its close box or Esc it is the keep button: nothing is lost,
// and nothing is remembered from an answer not given.
Dialogs::ReductionChoice ReductionDialog::choice() const
{
    if (!mAnswered)
        return {false, false};
    return {mReduced, mRemember->isChecked()};
}

Dialogs::ReductionChoice ReductionDialog::run(QWidget* parent, const Dialogs::ReductionOffer& offer)
{
    ReductionDialog dialog(parent, offer);
    dialog.exec();
    return dialog.choice();
}

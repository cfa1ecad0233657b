#include "document/RecoveryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RecoveryDialog::RecoveryDialog(QWidget* parent, const std::vector<Dialogs::RecoveredCard>& cards)
    : QDialog(parent)
    , mList(new QTreeWidget(this))
{
    setObjectName("frm_Helyreallitas");
    setWindowTitle(QStringLiteral("Helyreállítás"));
    auto* text = new QLabel(QStringLiteral("A program legutóbb nem szabályosan ért véget. Ezek a kártyák "
                                           "mentetlen változásokat tartalmaztak; a bejelölteket megnyitom."),
                            this);
    text->setWordWrap(true);
    mList->setObjectName("Kartyak");
    mList->setRootIsDecorated(false);
    mList->setHeaderLabels({QStringLiteral("Kártya"), QStringLiteral("A másolat ideje")});
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    for (const Dialogs::RecoveredCard& card : cards) {
        auto* item = new QTreeWidgetItem(mList);
        item->setText(0, card.title);
        item->setText(1, hungarian.toString(card.written, QStringLiteral("yyyy. MM. dd. HH:mm:ss")));
        item->setCheckState(0, Qt::Checked);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    mList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    mList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(QStringLiteral("Megnyitás"), QDialogButtonBox::AcceptRole);
    QPushButton* discard = buttons->addButton(QStringLiteral("Elvetés"), QDialogButtonBox::DestructiveRole);
    open->setDefault(true);
    connect(open, &QPushButton::clicked, this, &QDialog::accept);
    connect(discard, &QPushButton::clicked, this, [this] {
        mDiscardAll = true;
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(mList);
    layout->addWidget(buttons);
    resize(560, 300);
}

std::vector<bool> RecoveryDialog::ticked() const
{
    std::vector<bool> chosen;
    for (int row = 0; row < mList->topLevelItemCount(); ++row)
        chosen.push_back(!mDiscardAll && mList->topLevelItem(row)->checkState(0) == Qt::Checked);
    return chosen;
}

std::optional<std::vector<bool>> RecoveryDialog::run(QWidget* parent, const std::vector<Dialogs::RecoveredCard>& cards)
{
    RecoveryDialog dialog(parent, cards);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.ticked();
}

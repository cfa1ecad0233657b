#include "app/PlacedDialog.h"

#include "app/Settings.h"

PlacedDialog::PlacedDialog(const QString& section, QWidget* parent)
    : QDialog(parent)
    , mSection(section)
{
}

// Placed before it reaches the screen, where a position is the frame's.
void PlacedDialog::setVisible(bool visible)
{
    if (visible && !mShown) {
        mShown = true;
        FormShow();
    }
    QDialog::setVisible(visible);
}

bool PlacedDialog::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    mPlacement.settle(*this, *event);
    return handled;
}

void PlacedDialog::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void PlacedDialog::FormShow()
{
    mPlacement.place(*this, LoadFormPos(mSection));
}

void PlacedDialog::FormClose()
{
    SaveFormPos(mSection, pos());
}

#include "app/PlacedDialog.h"

#include "app/Settings.h"
#include "editor/ErrorBox.h"

#include <QEvent>

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
        guarded([this] { FormShow(); });
    }
    QDialog::setVisible(visible);
}

bool PlacedDialog::event(QEvent* event)
{
    if (event->type() == QEvent::DeferredDelete)
        return QDialog::event(event);
    const bool handled = QDialog::event(event);
    mPlacement.settle(*this, *event);
    return handled;
}

// A settings file that cannot be written is reported; the dialog closes
// all the same.
void PlacedDialog::done(int result)
{
    guarded([this] { FormClose(); });
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

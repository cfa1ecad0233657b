#pragma once

#include "app/FramePlacement.h"

#include <QDialog>
#include <QString>

// A dialog that opens where it was last closed, even off the screen: the
// frame's Left and Top under its section of the settings file, read when it
// is first shown and written whenever it closes.
class PlacedDialog : public QDialog
{
    Q_OBJECT

public:
    PlacedDialog(const QString& section, QWidget* parent);

protected:
    void setVisible(bool visible) override;
    bool event(QEvent* event) override;
    void done(int result) override;

    // Before the dialog first reaches the screen: places it.
    virtual void FormShow();
    // On every close: keeps its position.
    virtual void FormClose();

private:
    QString mSection;
    bool mShown = false;
    FramePlacement mPlacement;
};

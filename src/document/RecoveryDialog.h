#pragma once

#include "document/Dialogs.h"

#include <QDialog>

class QTreeWidget;

// "Helyreállítás": the cards a run that did not end cleanly left unsaved,
// each with its title and the time of its copy and a tick. "Megnyitás"
// opens the ticked ones and discards the others, "Elvetés" discards them
// all; closing the dialog keeps them all for the next start.
class RecoveryDialog : public QDialog
{
    Q_OBJECT

public:
    RecoveryDialog(QWidget* parent, const std::vector<Dialogs::RecoveredCard>& cards);

    static std::optional<std::vector<bool>> run(QWidget* parent, const std::vector<Dialogs::RecoveredCard>& cards);

    QTreeWidget* list() const { return mList; }
    std::vector<bool> ticked() const;

private:
    QTreeWidget* mList;
    bool mDiscardAll = false;
};

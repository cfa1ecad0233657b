#pragma once

#include "app/PlacedDialog.h"

#include <QFont>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The settings dialog: the default font of new text layers, and what to do
// with a picture far finer than its box prints (ask, reduce it, keep it
// whole). It writes nothing to the settings file; both reach it when the
// program ends.
class Tfrm_Beallit : public PlacedDialog
{
    Q_OBJECT

public:
    explicit Tfrm_Beallit(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow() override;
    void ComboBox1Enter(QWidget* editor);
    void ComboBox1Exit(QWidget* editor);
};

// The size the dialog reads from its text: only the digits, commas and full
// stops kept, read as a whole decimal number; 0 when that fails.
int IntFromDigits(const QString& text);

// Runs the dialog over the default font and the answer about large
// pictures: on OK the font takes the dialog's name (an empty one leaves it),
// size (at least 6) and style, and the answer the one chosen.
void ShowSettings();

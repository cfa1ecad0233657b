#pragma once

#include "merge/QrCode.h"

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// The warning of a code whose modules print smaller than a phone reads
// well: the dialog's, and the card window's for a layer resized too small.
QString smallModuleWarning();

// "QR-kód": what a QR layer says, a contact ("Névjegy") or any text or web
// address ("Szöveg"), and its error correction, with the code as it will
// look and the printed size of one module at the layer's size; below
// 0.4 mm it warns that a phone may not read it. Contents that make no code
// (nothing, or too much for a code) say why and cannot be taken.
class QrDialog : public QDialog
{
    Q_OBJECT

public:
    // boxPixels: the side of the square the code will fill, in card pixels.
    QrDialog(QWidget* parent, const QrContents& initial, double boxPixels);
    ~QrDialog() override;

    QrContents contents() const;

    // Named parts, for the tests.
    QTabWidget* pages() const { return mPages; }
    QLineEdit* field(Contact::Field field) const { return mFields[field]; }
    QPlainTextEdit* textEdit() const { return mText; }
    QComboBox* level() const { return mLevel; }
    QLabel* moduleLabel() const { return mModule; }
    QLabel* warning() const { return mWarning; }
    QPushButton* okButton() const { return mOk; }
    const QrMatrix* shownCode() const { return mCode.get(); }

private:
    void showCode();

    double mBoxPixels;
    QTabWidget* mPages;
    std::array<QLineEdit*, Contact::FieldCount> mFields{};
    QPlainTextEdit* mText;
    QComboBox* mLevel;
    QLabel* mPreview;
    QLabel* mModule;
    QLabel* mWarning;
    QPushButton* mOk = nullptr;
    std::unique_ptr<QrMatrix> mCode;
};

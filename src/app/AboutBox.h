#pragma once

#include "app/PlacedDialog.h"

class QFrame;
class QLabel;
class QPushButton;

// The about box: the program's name and version, what it is, and how to
// reach its maker. It keeps its own font whatever the interface size.
class Tfrm_Lapora : public PlacedDialog
{
    Q_OBJECT

public:
    explicit Tfrm_Lapora(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Notice = nullptr;
    QLabel* Version = nullptr;  // this build's version, beside the product name
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKButton = nullptr;

private:
    void FormCreate();
};

// The maker, as the about box, the footer of the sheet and the links of the
// help menu give it.
inline constexpr const char* MakerMail = "info@lapora.example.org";

void ShowAbout();

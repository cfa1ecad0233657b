#include "app/Beallit.h"

#include "app/Settings.h"
#include "editor/FieldEditors.h"
#include "editor/ImageList.h"
#include "layer/Fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <charconv>
#include <memory>

namespace {

const QColor FocusColor(166, 202, 240);
constexpr int SmallestSize = 6;
constexpr int SettingsImage = 57;

template <class Widget>
Widget* placed(Widget* widget, const char* name, QRect geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

int IntFromDigits(const QString& text)
{
    std::string kept;
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u',' || c == u'.')
            kept += char(c.unicode());
    int value = 0;
    const auto [end, error] = std::from_chars(kept.data(), kept.data() + kept.size(), value, 10);
    if (kept.empty() || error != std::errc() || end != kept.data() + kept.size())
        return 0;
    return value;
}

Tfrm_Beallit::Tfrm_Beallit(QWidget* parent)
    : PlacedDialog(QStringLiteral("frm_Beallit"), parent)
{
    setObjectName("frm_Beallit");
    setWindowTitle(QStringLiteral("Beállítások"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(430, 236);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);

    Image1 = placed(new QLabel(this), "Image1", {348, 16, 64, 64});
    Image1->setPixmap(ImageList::pixmap(SettingsImage).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    GroupBox1 = placed(new QGroupBox(QStringLiteral("Alapértelmezett betűtípus"), this), "GroupBox1", {8, 12, 289, 149});
    Label1 = placed(new QLabel(QStringLiteral("Betűtípus"), GroupBox1), "Label1", {20, 24, 100, 14});
    Label3 = placed(new QLabel(QStringLiteral("Méret"), GroupBox1), "Label3", {220, 24, 49, 14});
    ComboBox1 = placed(new QComboBox(GroupBox1), "ComboBox1", {20, 40, 193, 21});
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // The name goes to the settings file and into new text layers, both
    // Windows-1250: what they cannot hold cannot be typed.
    ComboBox1->setValidator(new StorableTextValidator(0, ComboBox1));
    Edit1 = placed(new QLineEdit(GroupBox1), "Edit1", {220, 40, 49, 21});
    CheckBox1 = placed(new QCheckBox(QStringLiteral("Félkövér"), GroupBox1), "CheckBox1", {20, 72, 97, 17});
    CheckBox2 = placed(new QCheckBox(QStringLiteral("Dőlt"), GroupBox1), "CheckBox2", {20, 96, 97, 17});
    CheckBox3 = placed(new QCheckBox(QStringLiteral("Aláhúzott"), GroupBox1), "CheckBox3", {20, 120, 97, 17});
    // In the order of LargePictures: Ask, Reduce, Keep.
    GroupBox2 = placed(new QGroupBox(QStringLiteral("Nagy képek kicsinyítése"), this), "GroupBox2", {8, 170, 289, 57});
    ComboBox2 = placed(new QComboBox(GroupBox2), "ComboBox2", {20, 24, 249, 21});
    ComboBox2->addItems({QStringLiteral("Kérdezzen rá"), QStringLiteral("Mindig kicsinyítse"),
                         QStringLiteral("Mindig eredeti méretben tárolja")});
    Button1 = placed(new QPushButton(QStringLiteral("OK"), this), "Button1", {340, 100, 75, 25});
    Button2 = placed(new QPushButton(QStringLiteral("Mégsem"), this), "Button2", {340, 128, 75, 25});
    // Neither button is the default or the cancel one: Enter and Esc press
    // nothing.
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(ComboBox1, Edit1);
    setTabOrder(Edit1, CheckBox1);
    setTabOrder(CheckBox1, CheckBox2);
    setTabOrder(CheckBox2, CheckBox3);
    setTabOrder(CheckBox3, ComboBox2);
    for (QWidget* editor : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Edit1)})
        editor->installEventFilter(this);
}

// Esc does not close the dialog either: only its buttons and its close box.
void Tfrm_Beallit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfrm_Beallit::FormShow()
{
    PlacedDialog::FormShow();
    QFont interfaceFont = font();
    if (Beall.FontSize > 0)
        interfaceFont.setPointSize(Beall.FontSize);
    setFont(interfaceFont);
}

bool Tfrm_Beallit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        ComboBox1Enter(static_cast<QWidget*>(watched));
    else if (event->type() == QEvent::FocusOut)
        ComboBox1Exit(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Beallit::ComboBox1Enter(QWidget* editor)
{
    QPalette colours = editor->palette();
    colours.setColor(QPalette::Base, FocusColor);
    editor->setPalette(colours);
}

void Tfrm_Beallit::ComboBox1Exit(QWidget* editor)
{
    editor->setPalette(QPalette());
}

void ShowSettings()
{
    auto dialog = std::make_unique<Tfrm_Beallit>();
    QStringList families = installedFontFamilies();
    families.sort(Qt::CaseInsensitive);
    dialog->ComboBox1->addItems(families);
    QFont& font = Beall.DefaultFont;
    dialog->ComboBox1->setEditText(font.family());
    dialog->Edit1->setText(QString::number(font.pointSize()));
    dialog->CheckBox1->setChecked(font.bold());
    dialog->CheckBox2->setChecked(font.italic());
    dialog->CheckBox3->setChecked(font.underline());
    dialog->ComboBox2->setCurrentIndex(int(Beall.LargePictureAnswer));
    if (dialog->exec() != QDialog::Accepted)
        return;
    Beall.LargePictureAnswer = LargePictures(dialog->ComboBox2->currentIndex());
    setFontName(font, dialog->ComboBox1->currentText());
    font.setPointSize(std::max(SmallestSize, IntFromDigits(dialog->Edit1->text())));
    font.setBold(dialog->CheckBox1->isChecked());
    font.setItalic(dialog->CheckBox2->isChecked());
    font.setUnderline(dialog->CheckBox3->isChecked());
}

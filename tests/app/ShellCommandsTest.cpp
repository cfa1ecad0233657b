#include "tests/TestRegistry.h"
#include "tests/app/ShellRun.h"
#include "Version.h"
#include "app/AboutBox.h"
#include "app/Beallit.h"
#include "app/Launcher.h"
#include "app/MenuPainting.h"
#include "document/Child.h"
#include "layer/Win1250Text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <functional>

QByteArray readFile(const QString& path);

namespace {

// Answers the next modal dialog the program runs, once it is up. A check
// that fails inside the answer still closes the dialog, so the test fails
// instead of waiting.
void whenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

QMenu* topMenu(const ShellRun& run, const QString& title)
{
    for (QAction* top : run.window->MainMenu1->actions())
        if (top->text() == title)
            return top->menu();
    qFatal("no such menu");
}

// The menu as it looks on screen, with `active` under the mouse.
QImage painted(QMenu* menu, QAction* active = nullptr)
{
    menu->popup(QPoint(0, 0));
    if (!QTest::qWaitForWindowExposed(menu))
        qFatal("the menu does not come up");
    menu->setActiveAction(active);
    QImage image = menu->grab().toImage().convertToFormat(QImage::Format_RGB32);
    menu->hide();
    return image;
}

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// The darkest pixel of an area: the colour the text was written in.
int darkest(const QImage& image, QRect area)
{
    int found = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found = std::min(found, qGray(image.pixel(x, y)));
    return found;
}

int countOf(const QImage& image, QRect area, QColor colour)
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += image.pixelColor(x, y) == colour;
    return found;
}

QIcon solidIcon(QColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class SettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void sizeIsReadFromItsDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("read");
        QTest::newRow("plain") << "12" << 12;
        QTest::newRow("blank inside") << "1 2" << 12;
        QTest::newRow("unit") << "12pt" << 12;
        QTest::newRow("plus") << "+12" << 12;
        QTest::newRow("minus dropped") << "-12" << 12;
        QTest::newRow("comma") << "12,5" << 0;
        QTest::newRow("full stop") << "12.5" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters only") << "nagy" << 0;
        QTest::newRow("beyond 32 bits") << "2147483648" << 0;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("no upper bound") << "1000" << 1000;
        QTest::newRow("wide digits are not digits") << "\uFF11\uFF12" << 0;
    }
    void sizeIsReadFromItsDigits()
    {
        QFETCH(QString, text);
        QFETCH(int, read);
        QCOMPARE(IntFromDigits(text), read);
    }

    void okTakesTheFieldsCancelLeavesTheFontAndBothKeepThePlace()
    {
        ShellRun run;
        Beall.DefaultFont = QFont("Arial", 8);
        Beall.FontSize = 10;
        QStringList offered;
        QPoint placedAt;
        whenModal([&](QWidget* widget) {
            auto* dialog = qobject_cast<Tfrm_Beallit*>(widget);
            QVERIFY(dialog);
            placedAt = dialog->pos();
            QCOMPARE(dialog->font().pointSize(), 10);
            QCOMPARE(dialog->Edit1->text(), QString("8"));
            for (int i = 0; i < dialog->ComboBox1->count(); ++i)
                offered << dialog->ComboBox1->itemText(i);
            // A name the settings file could not hold cannot be typed.
            dialog->ComboBox1->setEditText("Ar");
            dialog->ComboBox1->lineEdit()->end(false);
            for (QChar c : QString::fromUtf8("中ial"))
                QTest::sendKeyEvent(QTest::Click, dialog->ComboBox1->lineEdit(), Qt::Key_unknown, QString(c), {});
            QCOMPARE(dialog->ComboBox1->currentText(), QString("Arial"));
            QVERIFY(!dialog->Button1->isDefault() && !dialog->Button1->autoDefault());
            // Enter and Esc press neither button.
            QTest::keyClick(dialog, Qt::Key_Escape);
            QTest::keyClick(dialog->Edit1, Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            dialog->ComboBox1->setEditText("Times New Roman");
            dialog->Edit1->setText("3");
            dialog->CheckBox1->setChecked(true);
            dialog->CheckBox3->setChecked(true);
            dialog->move(333, 222);
            dialog->Button2->click();
        });
        ShowSettings();
        QCOMPARE(placedAt, QPoint(10, 10));
        QCOMPARE(Beall.DefaultFont, QFont("Arial", 8));
        QVERIFY(offered.contains("Tahoma") && offered.contains("Wingdings"));
        for (const QString& name : offered)
            QVERIFY2(fitsWin1250(name), qPrintable(name));
        QStringList sorted = offered;
        sorted.sort(Qt::CaseInsensitive);
        QCOMPARE(offered, sorted);

        whenModal([&](QWidget* widget) {
            auto* dialog = static_cast<Tfrm_Beallit*>(widget);
            placedAt = dialog->pos();
            dialog->ComboBox1->setEditText("Times New Roman");
            dialog->Edit1->setText("3");
            dialog->CheckBox1->setChecked(true);
            dialog->CheckBox3->setChecked(true);
            dialog->Button1->click();
        });
        ShowSettings();
        QCOMPARE(placedAt, QPoint(333, 222));
        QCOMPARE(Beall.DefaultFont.family(), QString("Times New Roman"));
        QCOMPARE(Beall.DefaultFont.pointSize(), 6);
        QVERIFY(Beall.DefaultFont.bold() && !Beall.DefaultFont.italic() && Beall.DefaultFont.underline());

        // An empty name keeps the name; a large size stays.
        whenModal([](QWidget* widget) {
            auto* dialog = static_cast<Tfrm_Beallit*>(widget);
            dialog->ComboBox1->setEditText("");
            dialog->Edit1->setText("1000");
            dialog->CheckBox1->setChecked(false);
            dialog->Button1->click();
        });
        ShowSettings();
        QCOMPARE(Beall.DefaultFont.family(), QString("Times New Roman"));
        QCOMPARE(Beall.DefaultFont.pointSize(), 1000);
        QVERIFY(!Beall.DefaultFont.bold());
        // Nothing reaches the settings file before the program ends.
        QVERIFY(!readFile(IniFileName).contains("Times"));
    }

    void newFontReachesOnlyCardWindowsShownAfterwards()
    {
        ShellRun run;
        run.window->show();
        run.window->aUjExecute();
        Tfrm_Child* before = run.window->activeCard();
        whenModal([](QWidget* widget) {
            auto* dialog = static_cast<Tfrm_Beallit*>(widget);
            dialog->ComboBox1->setEditText("Courier New");
            dialog->Edit1->setText("14");
            dialog->Button1->click();
        });
        run.window->action("aBeallit")->trigger();
        run.window->aUjExecute();
        Tfrm_Child* after = run.window->activeCard();
        QVERIFY(after != before);
        QCOMPARE(after->TextFont().family(), QString("Courier New"));
        QCOMPARE(after->TextFont().pointSize(), 14);
        QVERIFY(before->TextFont().family() != "Courier New");
    }
};

// The answer about large pictures: one remembered in a card window holds
// for every card window and reaches the settings; the settings dialog
// shows it and sets it back to asking, in the open windows too.
class LargePictureSettings : public QObject
{
    Q_OBJECT

private slots:
    void rememberedAnswerReachesEveryWindowAndTheDialogSetsItBack()
    {
        ShellRun run;
        run.window->show();
        Beall.LargePictureAnswer = LargePictures::Ask;
        run.window->aUjExecute();
        Tfrm_Child* first = run.window->activeCard();
        run.window->aUjExecute();
        Tfrm_Child* second = run.window->activeCard();
        QVERIFY(first != second && first->LargePicturesChosen);
        first->LargePicturesChosen(LargePictures::Keep);
        QCOMPARE(Beall.LargePictureAnswer, LargePictures::Keep);
        QCOMPARE(second->largePictures(), LargePictures::Keep);

        int shown = -1;
        whenModal([&](QWidget* widget) {
            auto* dialog = static_cast<Tfrm_Beallit*>(widget);
            shown = dialog->ComboBox2->currentIndex();
            QCOMPARE(dialog->ComboBox2->count(), 3);
            dialog->ComboBox2->setCurrentIndex(0);
            dialog->Button2->click();
        });
        run.window->action("aBeallit")->trigger();
        QCOMPARE(shown, 2);
        QCOMPARE(Beall.LargePictureAnswer, LargePictures::Keep);

        whenModal([](QWidget* widget) {
            auto* dialog = static_cast<Tfrm_Beallit*>(widget);
            QCOMPARE(dialog->ComboBox2->currentText(), QString("Mindig eredeti méretben tárolja"));
            dialog->ComboBox2->setCurrentIndex(0);
            dialog->Button1->click();
        });
        run.window->action("aBeallit")->trigger();
        QCOMPARE(Beall.LargePictureAnswer, LargePictures::Ask);
        QCOMPARE(first->largePictures(), LargePictures::Ask);
        QCOMPARE(second->largePictures(), LargePictures::Ask);
        run.window->aUjExecute();
        QCOMPARE(run.window->activeCard()->largePictures(), LargePictures::Ask);
    }
};

class MenuPainting : public QObject
{
    Q_OBJECT

private slots:
    void shortcutsAreWrittenShiftCtrlAlt()
    {
        QCOMPARE(shortcutText(QKeySequence("Ctrl+Shift+S")), QString("Shift+Ctrl+S"));
        QCOMPARE(shortcutText(QKeySequence("Alt+Shift+Ctrl+X")), QString("Shift+Ctrl+Alt+X"));
        QCOMPARE(shortcutText(QKeySequence("Ctrl+Del")), QString("Ctrl+Del"));
        QCOMPARE(shortcutText(QKeySequence("F1")), QString("F1"));
        QCOMPARE(shortcutText(QKeySequence()), QString());
    }

    void itemsAndSeparatorsHaveTheirOwnMeasures()
    {
        ShellRun run;
        run.window->show();
        QMenu* file = topMenu(run, "File");
        painted(file);
        const QFontMetrics metrics(file->font());
        QCOMPARE(QFontInfo(file->font()).family(), QFontInfo(QApplication::font("QMenu")).family());

        int widest = 0;
        for (QAction* action : file->actions()) {
            const QRect box = file->actionGeometry(action);
            QCOMPARE(box.height(), action->isSeparator() ? 12 : 23);
            const QSize measured = menuItemSize(metrics, action->text(), shortcutText(action->shortcut()),
                                                action->isSeparator());
            widest = std::max(widest, measured.width());
        }
        QCOMPARE(file->actionGeometry(file->actions().first()).width(), widest);
        QCOMPARE(menuItemSize(metrics, "&Új", "Ctrl+N", false),
                 QSize(78 + metrics.horizontalAdvance("ÚjCtrl+N"), 23));
        QCOMPARE(menuItemSize(metrics, "-", "", true), QSize(45 + metrics.horizontalAdvance("-"), 12));

        // F11 / F12 change the windows' font, never the menus'.
        const QFont before = file->font();
        for (const char* name : {"aBetuNovel", "aBetuCsokkent", "aBetuCsokkent"}) {
            run.window->action(name)->trigger();
            QCOMPARE(file->font(), before);
        }
        QCOMPARE(run.window->font().pointSize(), 8);
    }

    void highlightedDisabledAndSeparatorLooks()
    {
        ShellRun run;
        run.window->show();
        QMenu* file = topMenu(run, "File");
        QAction* uj = run.window->action("aUj");
        const QImage image = painted(file, uj);
        const QRect item = file->actionGeometry(uj);
        QCOMPARE(at(image, item.left(), item.top()), QColor(128, 128, 128));
        QCOMPARE(at(image, item.right(), item.bottom()), QColor(128, 128, 128));
        QCOMPARE(at(image, item.right() - 2, item.top() + 2), QColor(222, 170, 141));
        // The other items stand on the grey background.
        const QRect other = file->actionGeometry(run.window->action("aMegnyit"));
        QCOMPARE(at(image, other.right() - 1, other.top() + 1), QColor(222, 222, 222));
        // Caption at L + 22, T + 4 in the text colour, short-cut right-aligned.
        QVERIFY(darkest(image, QRect(other.left() + 22, other.top() + 4, 12, 12)) < 80);
        QCOMPARE(darkest(image, QRect(other.left() + 18, other.top(), 4, other.height())), 222);
        const int shortcut = QFontMetrics(file->font()).horizontalAdvance("Ctrl+O");
        QVERIFY(darkest(image, QRect(other.right() - 3 - shortcut, other.top() + 4, 4, 12)) < 80);
        QCOMPARE(darkest(image, QRect(other.right() - 3, other.top(), 4, other.height())), 222);

        // A separator: a grey line across its middle, 2 pixels short of each end.
        QAction* separator = file->actions().at(2);
        QVERIFY(separator->isSeparator());
        const QRect line = file->actionGeometry(separator);
        const int y = line.top() + line.height() / 2;
        QCOMPARE(at(image, line.left() + 2, y), QColor(162, 162, 162));
        QCOMPARE(at(image, line.right() - 2, y), QColor(162, 162, 162));
        QCOMPARE(at(image, line.left() + 1, y), QColor(222, 222, 222));
        QCOMPARE(at(image, line.right() - 1, y), QColor(222, 222, 222));
        QCOMPARE(at(image, line.left() + 10, y - 1), QColor(222, 222, 222));

        // "Megrendelem...": grey text, but its image in its normal colours.
        QMenu* print = topMenu(run, "Nyomtatás");
        QAction* order = run.window->action("aRendeles");
        QVERIFY(!order->isEnabled());
        const QImage printImage = painted(print);
        const QRect disabled = print->actionGeometry(order);
        const int text = darkest(printImage, QRect(disabled.left() + 22, disabled.top() + 4, 60, 13));
        QVERIFY2(text >= 110 && text <= 140, qPrintable(QString::number(text)));
        QImage expected(16, 16, QImage::Format_RGB32);
        expected.fill(QColor(222, 222, 222));
        QPainter(&expected).drawPixmap(0, 0, order->icon().pixmap(16, QIcon::Normal));
        QCOMPARE(printImage.copy(disabled.left() + 2, disabled.top() + 2, 16, 16), expected);
    }

    void checkedItemShowsTheBulletInsteadOfItsImage()
    {
        QWidget window;
        auto* menu = new QMenu(&window);
        QAction* plain = menu->addAction(solidIcon(Qt::red), "Balra");
        QAction* checked = menu->addAction(solidIcon(Qt::red), "K&&özépre");
        for (QAction* action : {plain, checked})
            action->setCheckable(true);
        checked->setChecked(true);
        HookMenuPainting(&window);
        const QImage image = painted(menu);

        const QRect first = menu->actionGeometry(plain);
        const QRect second = menu->actionGeometry(checked);
        QCOMPARE(countOf(image, QRect(first.left() + 2, first.top() + 2, 16, 16), Qt::red), 256);
        QCOMPARE(countOf(image, second, Qt::red), 0);
        QVERIFY(darkest(image, QRect(second.left() + 8, second.top() + 5, 12, 14)) < 80);
        // "&&" shows no ampersand at all: the caption is as wide as "Középre".
        QCOMPARE(menuItemSize(QFontMetrics(menu->font()), checked->text(), "", false).width(),
                 78 + QFontMetrics(menu->font()).horizontalAdvance("Középre"));
    }

    void cardWindowContextMenusAndTheWindowList()
    {
        ShellRun run;
        run.window->show();
        run.window->aUjExecute();
        Tfrm_Child* card = run.window->activeCard();
        for (QMenu* popup : {card->PopupMenu1, card->PopupMenu2, card->PopupMenu3}) {
            painted(popup);
            QAction* first = popup->actions().first();
            QCOMPARE(popup->actionGeometry(first).height(), first->isSeparator() ? 12 : 23);
        }
        // The card's entry in "Ablak" keeps the system's look and measure.
        QMenu* windows = topMenu(run, "Ablak");
        painted(windows);
        QAction* entry = windows->actions().last();
        QVERIFY(entry->property(SystemLookProperty).toBool());
        QVERIFY(windows->actionGeometry(entry).height() != 23);
    }
};

class HelpLinksAbout : public QObject
{
    Q_OBJECT

private slots:
    void commandsHandTheirTargetsToTheDesktop()
    {
        ShellRun run;
        QStringList targets;
        setLauncher([&](const QString& target) { targets << target; });
        QVERIFY(run.showActive());
        QTest::keyClick(run.window.get(), Qt::Key_F1);
        for (const char* name : {"aHonlap", "aUjdonsag", "aLevel"})
            run.window->action(name)->trigger();

        // F1 also from inside a card window, the focus in its text box.
        run.window->aUjExecute();
        Tfrm_Child* card = run.window->activeCard();
        QApplication::processEvents();
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused && card->isAncestorOf(focused));
        QTest::keyClick(focused, Qt::Key_F1);
        setLauncher(nullptr);

        const QString help = run.root.filePath("bin") + "/help/index.htm";
        QCOMPARE(targets, (QStringList{help, "https://lapora.example.org", run.root.filePath("bin") + "/Ujdonsag",
                                       "mailto:info@lapora.example.org?subject=Lapora program", help}));
        QCOMPARE(QUrl(targets[3]).query(QUrl::FullyDecoded), QString("subject=Lapora program"));

        // Without the companion program nothing happens and nothing is said.
        run.window->action("aUjdonsag")->trigger();
        QVERIFY(run.dialogs.shown.empty());
    }

    // With no browser to start, F1 and the links say so, F1 with the
    // manual's path, instead of a line on the terminal nobody sees.
    void nothingToOpenWithIsSaid()
    {
        ShellRun run;
        QTemporaryDir bin;
        QFile opener(bin.filePath("xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir().mkpath(run.root.filePath("bin/help")));
        QFile manual(run.root.filePath("bin/help/index.htm"));
        QVERIFY(manual.open(QIODevice::WriteOnly));
        manual.close();
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + path);
        run.window->action("aSugo")->trigger();
        run.window->action("aHonlap")->trigger();
        QTRY_COMPARE(run.dialogs.count("error"), 2);
        qputenv("PATH", path);

        QStringList texts;
        for (const auto& shown : run.dialogs.of("error"))
            texts << shown.text;
        texts.sort();
        QVERIFY2(texts[1].contains("https://lapora.example.org"), qPrintable(texts[1]));
        QVERIFY2(texts[0].startsWith(QString::fromUtf8("A súgó nem nyitható meg")), qPrintable(texts[0]));
        QVERIFY(texts[0].contains("\n" + run.root.filePath("bin") + "/help/index.htm\n"));
    }

    void aboutBoxOpensWhereItWasClosedInItsOwnFont()
    {
        ShellRun run;
        Beall.FontSize = 12;
        QPoint first;
        int fontSize = 0;
        whenModal([&](QWidget* widget) {
            auto* box = qobject_cast<Tfrm_Lapora*>(widget);
            QVERIFY(box);
            first = box->pos();
            fontSize = box->font().pixelSize();
            QVERIFY(box->Comments->text().contains("example.org") || box->Label1->text().contains("example.org"));
            // The program's version line, and the release beside it.
            QCOMPARE(box->ProductName->text(), QString("Lapora2\nV2.0.0.32"));
            QCOMPARE(box->Version->text(), QString("Kiadás: " LAPORA_VERSION));
            box->move(-40, 1500);
            box->OKButton->click();
        });
        run.window->action("aLapora")->trigger();
        QPoint second;
        whenModal([&](QWidget* widget) {
            second = widget->pos();
            static_cast<QDialog*>(widget)->reject();
        });
        run.window->action("aLapora")->trigger();

        QCOMPARE(first, QPoint(10, 10));
        QCOMPARE(fontSize, 11);
        QCOMPARE(second, QPoint(-40, 1500));
        QCOMPARE(LoadFormPos("frm_Lapora"), QPoint(-40, 1500));
    }

    // A settings file that cannot take the position is reported, and the
    // box closes all the same.
    void unwritableSettingsFileIsReportedAndTheBoxCloses()
    {
        ShellRun run;
        QFile::remove(IniFileName);
        QVERIFY(QDir().mkpath(IniFileName));
        whenModal([](QWidget* widget) { static_cast<Tfrm_Lapora*>(widget)->OKButton->click(); });
        run.window->action("aLapora")->trigger();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(run.dialogs.count("error"), 1);
        QVERIFY(run.dialogs.of("error")[0].text.contains("Lapora2.ini"));
    }
};

class Placement : public QObject
{
    Q_OBJECT

private slots:
    void frameIsReadFittedAndWrittenBackOverTwoStartUps()
    {
        QByteArray ini;
        QRect frame;
        {
            ShellRun run("[frm_Main]\nLeft=1500\nTop=600\nWidth=700\nHeight=500\n");
            run.window->show();
            // Fitted by its frame into the 1920 × 1040 work area.
            QCOMPARE(run.window->frameGeometry(), QRect(1220, 540, 700, 500));
            run.window->move(100, 60);
            run.window->resize(900, 650);
            frame = run.window->frameGeometry();
            QVERIFY(run.window->close());
            ini = readFile(IniFileName);
        }
        QVERIFY2(ini.contains(QString("[frm_Main]\nLeft=100\nTop=60\nWidth=%1\nHeight=%2\n")
                                  .arg(frame.width()).arg(frame.height()).toLatin1()),
                 ini.constData());
        {
            ShellRun run(ini);
            run.window->show();
            QCOMPARE(run.window->frameGeometry(), frame);
            // A window moved after the start stays where it was put.
            run.window->move(120, 70);
            QApplication::processEvents();
            QCOMPARE(run.window->frameGeometry().topLeft(), QPoint(120, 70));
            run.window->showMaximized();
            QTRY_VERIFY(run.window->isMaximized());
            const QRect maximised = run.window->frameGeometry();
            QVERIFY(run.window->close());
            ini = readFile(IniFileName);
            QVERIFY2(ini.contains(QString("Left=%1\nTop=%2\nWidth=%3\nHeight=%4\n")
                                      .arg(maximised.x()).arg(maximised.y())
                                      .arg(maximised.width()).arg(maximised.height()).toLatin1()),
                     ini.constData());
        }
    }

    void filesNamedOnTheCommandLineOpenEachInItsWindow()
    {
        ShellRun run;
        run.window->show();
        const QString card = run.path("a.bcrd");
        run.window->aUjExecute();
        run.dialogs.saveAnswers.push_back(card);
        run.window->aMentExecute();
        run.window->activeCard()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        run.window->openCardFiles({card, run.path("nincs.bcrd"), card});
        const QList<QMdiSubWindow*> windows = run.window->findChild<QMdiArea*>()->subWindowList();
        QCOMPARE(windows.size(), 2);
        for (QMdiSubWindow* window : windows)
            QCOMPARE(qobject_cast<Tfrm_Child*>(window)->FileName(), card);
        QCOMPARE(run.dialogs.count("error"), 1);
        QVERIFY(run.dialogs.of("error")[0].text.contains("nincs.bcrd"));
    }
};

REGISTER_TEST(SettingsDialog)
REGISTER_TEST(LargePictureSettings)
REGISTER_TEST(MenuPainting)
REGISTER_TEST(HelpLinksAbout)
REGISTER_TEST(Placement)

#include "ShellCommandsTest.moc"

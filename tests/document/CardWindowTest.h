#pragma once

#include "document/Child.h"
#include "tests/FakeDialogs.h"
#include "tests/document/Cards.h"

#include <QMdiArea>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// What the card-window tests share: an active multiple-document area,
// fake dialogs in place of the real ones, a folder of their own, and card
// windows opened in the area, empty or from a card file of given layers.
// A test class derives from it; its init and cleanup run around every test
// function of the class (they are not test functions themselves); a class
// with its own calls them from its own.
class CardWindowTest : public QObject
{
    Q_OBJECT

protected:
    explicit CardWindowTest(QSize areaSize = {1000, 700}) : mAreaSize(areaSize) {}

    QTemporaryDir dir;
    std::unique_ptr<FakeDialogs> fake;
    QMdiArea* area = nullptr;

    // A new, empty card window, shown.
    Tfrm_Child* newCard(const Tfrm_Child::Settings& settings = {QFont("Arial", 8), 9})
    {
        auto* child = new Tfrm_Child(settings, area);
        area->addSubWindow(child);
        child->show();
        child->RebuildElements();
        return child;
    }

    // A card window on a card file of these layers, the active window.
    Tfrm_Child* openCard(const std::vector<Layer>& layers, const QString& name = "card.bcrd")
    {
        Tfrm_Child* child = newCard();
        child->LoadCard(writeCard(dir.filePath(name), layers));
        area->setActiveSubWindow(child);
        return child;
    }

protected slots:
    void init()
    {
        fake = std::make_unique<FakeDialogs>();
        area = new QMdiArea;
        area->resize(mAreaSize);
        area->show();
        // Short-cuts reach the commands only in the active window.
        area->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(area));
        mDrawNameNumber = Tfrm_Child::DrawNameNumber;
    }

    void cleanup()
    {
        delete area;
        area = nullptr;
        fake.reset();
        Tfrm_Child::DrawNameNumber = mDrawNameNumber;
    }

private:
    QSize mAreaSize;
    std::function<int()> mDrawNameNumber;
};

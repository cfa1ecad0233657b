#include "document/CardDocument.h"
#include "document/CardSteps.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"
#include "tests/document/Cards.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Values = CardDocument::Values;

// What a card file of the document holds now: the card, byte for byte.
QByteArray cardBytes(CardDocument& document, const QTemporaryDir& dir)
{
    const QString path = dir.filePath("snapshot.bcrd");
    CardDocument::writeSnapshot(document.snapshot(), path);
    return readBytes(path);
}

Values textLayer(int number)
{
    return {{Field::tipus, 0}, {Field::nev, "sz\xF6veg" + std::to_string(number)}, {Field::betutipus, std::string("Arial")},
            {Field::compnev, "lbl" + std::to_string(number)}, {Field::left, 10}, {Field::top, 10}};
}

Values pictureLayer(int number, const Blob& picture)
{
    return {{Field::tipus, 1}, {Field::nev, "k\xE9p" + std::to_string(number)}, {Field::kep, picture},
            {Field::keptip, std::string(".png")}, {Field::width, 40}, {Field::height, 30}, {Field::strech, true},
            {Field::compnev, "img" + std::to_string(number)}, {Field::left, 10}, {Field::top, 10}};
}

Values shapeLayer(int number)
{
    return {{Field::tipus, 2}, {Field::nev, "alakzat" + std::to_string(number)}, {Field::brushcolor, 16777215},
            {Field::penwidth, 1}, {Field::compnev, "shp" + std::to_string(number)}, {Field::left, 10},
            {Field::top, 10}};
}

const FieldValue& stored(const CardDocument& document, CardDocument::LayerId id, std::string_view field)
{
    return document.table().StoredValue(document.table().RowOf(id), document.table().FieldIndex(field));
}

} // namespace

class CardDocumentTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // A document on a card of a text, a picture and a shape, opened from a
    // file as the user would open it.
    std::unique_ptr<CardDocument> openThree()
    {
        auto document = std::make_unique<CardDocument>();
        document->load(writeCard(dir.filePath("three.bcrd"),
                                 {{1, 0, "Anna"}, {2, 1, "fot\xF3", 20, 30, {{"kep", pictureBlob({40, 30})},
                                                                         {"keptip", std::string(".png")},
                                                                         {"width", 40}, {"height", 30}}},
                                  {3, 2, "keret", 100, 50}}));
        return document;
    }

private slots:
    // Each kind of step: undone, the card is byte for byte what it was;
    // redone, what the step made; the changed layer is current either way.
    void everyKindOfStepUndoesToTheCardBefore()
    {
        auto document = openThree();
        const LayerTable& table = document->table();
        const CardDocument::LayerId picture = table.StoredId(1);
        const CardDocument::LayerId shape = table.StoredId(2);
        const Blob photo = std::get<Blob>(stored(*document, picture, Field::kep));

        const std::vector<std::pair<QString, std::function<void()>>> steps = {
            {"Új szöveg", [&] { document->appendLayer(textLayer, "Új szöveg"); }},
            {"Új kép", [&] { document->appendLayer([&](int n) { return pictureLayer(n, photo); }, "Új kép"); }},
            {"Új alakzat", [&] { document->appendLayer(shapeLayer, "Új alakzat"); }},
            {"Előtérbe hoz", [&] { QVERIFY(document->restack(picture, +1, "Előtérbe hoz")); }},
            {"Háttérbe rak", [&] { QVERIFY(document->restack(shape, -1, "Háttérbe rak")); }},
            {"Kör", [&] { document->change(shape, {{Field::shape, 1}}, "Kör"); }},
            {"Kép választ",
             [&] { document->change(picture, {{Field::kep, Blob("other")}, {Field::keptip, std::string(".bmp")}},
                                    "Kép választ"); }},
            {"Mozgatás", [&] { document->change(shape, {{Field::left, -5}, {Field::top, 70}}, "Mozgatás"); }},
            {"Gépelés", [&] { document->type(table.StoredId(0), Field::nev, std::string("Bea"), "Gépelés"); }},
            {"Réteg törlése", [&] { document->removeLayer(picture, "Réteg törlése"); }},
        };
        for (const auto& [caption, step] : steps) {
            const QByteArray before = cardBytes(*document, dir);
            const std::vector<CardDocument::LayerId> orderBefore = table.Order();
            step();
            QCOMPARE(document->history().undoText(), caption);
            const QByteArray after = cardBytes(*document, dir);
            QVERIFY2(after != before, qPrintable(caption));
            document->history().undo();
            QVERIFY2(cardBytes(*document, dir) == before, qPrintable(caption));
            QVERIFY2(table.Order() == orderBefore, qPrintable(caption));
            document->history().redo();
            QVERIFY2(cardBytes(*document, dir) == after, qPrintable(caption));
        }

        // The deleted photo comes back as the very bytes it was, not a
        // copy, and is the current layer.
        document->history().undo();
        document->history().undo();
        document->history().undo();
        document->history().undo();
        QVERIFY(std::get<Blob>(stored(*document, picture, Field::kep)).shares(photo));
        QCOMPARE(table.CurrentId(), picture);
    }

    // Restacking a card in the order it was read sorts it; undone, the
    // order it had comes back, as does a sorted table's.
    void restackUndoRestoresTheOrderTheTableHad()
    {
        auto document = std::make_unique<CardDocument>();
        document->load(writeCard(dir.filePath("unsorted.bcrd"), {{5, 0, "e"}, {1, 0, "a"}, {3, 0, "c"}}));
        const LayerTable& table = document->table();
        const auto order = table.Order();
        QVERIFY(document->restack(order[1], +1, "Előtérbe hoz"));  // 1 into the gap: 2
        QVERIFY(table.IsSorted());
        document->history().undo();
        QVERIFY(!table.IsSorted());
        QCOMPARE(table.Order(), order);
        QCOMPARE(ReadInt(table, Field::sorszam), 1);
        // The top layer, and a number that would reach the parking value,
        // are no step at all.
        QVERIFY(!document->restack(order[2], +1, "Előtérbe hoz"));
        QCOMPARE(document->history().count(), 1);
    }

    // Saved, changed, undone to the saved state: unmodified; past it:
    // modified. What leaves no step (a cancelled dialog, OK with nothing
    // changed) changes nothing, the modified state included.
    void modifiedFollowsTheSavedState()
    {
        auto document = openThree();
        QSignalSpy told(document.get(), &CardDocument::modifiedChanged);
        const CardDocument::LayerId text = document->table().StoredId(0);
        QVERIFY(!document->isModified());
        document->change(text, {{Field::felkover, true}}, "Félkövér");
        document->change(text, {{Field::dolt, true}}, "Dőlt");
        QVERIFY(document->isModified());
        document->save(dir.filePath("saved.bcrd"));
        QVERIFY(!document->isModified());
        document->history().undo();
        QVERIFY(document->isModified());
        document->history().redo();
        QVERIFY(!document->isModified());
        document->history().undo();
        document->history().undo();
        document->save(dir.filePath("saved.bcrd"));
        document->history().redo();
        QVERIFY(document->isModified());
        document->history().undo();
        QVERIFY(!document->isModified());

        // OK with nothing changed: no step, not modified.
        document->change(text, {{Field::felkover, false}}, "Félkövér");
        QCOMPARE(document->history().count(), 2);
        QVERIFY(!document->isModified());
        document->history().redo();
        document->history().undo();
        QVERIFY(!document->isModified());
        QVERIFY(told.count() >= 6);

        // Opening a card starts without history; so does a new card.
        document->load(dir.filePath("saved.bcrd"));
        QCOMPARE(document->history().count(), 0);
        QVERIFY(!document->isModified());
    }

    // Keystrokes in one field of one layer are one step; another field,
    // another layer or a pause starts a new one.
    void typingMergesUntilSomethingElseComes()
    {
        auto document = openThree();
        qint64 now = 0;
        document->setClock([&now] { return now; });
        const CardDocument::LayerId anna = document->table().StoredId(0);
        const CardDocument::LayerId frame = document->table().StoredId(2);
        for (const char* text : {"B", "Be", "Bea"})
            document->type(anna, Field::nev, std::string(text), "Gépelés");
        QCOMPARE(document->history().count(), 1);
        document->type(anna, Field::betumeret, std::int32_t(14), "Betűméret");
        document->type(frame, Field::nev, std::string("k"), "Gépelés");
        document->type(anna, Field::nev, std::string("Beat"), "Gépelés");
        QCOMPARE(document->history().count(), 4);
        // Keys 2 s apart still merge; a longer pause starts a new step.
        now += TypeStep::PauseMs;
        document->type(anna, Field::nev, std::string("Beat"), "Gépelés");
        QCOMPARE(document->history().count(), 4);
        now += TypeStep::PauseMs + 1;
        document->type(anna, Field::nev, std::string("Beata"), "Gépelés");
        QCOMPARE(document->history().count(), 5);
        document->history().setIndex(1);
        QCOMPARE(std::get<std::string>(stored(*document, anna, Field::nev)), std::string("Bea"));
        document->history().setIndex(0);
        QCOMPARE(std::get<std::string>(stored(*document, anna, Field::nev)), std::string("Anna"));
    }

    // A long random run of every kind of command: undone to the start, the
    // card is what it was; redone, what it became.
    void randomCommandsUndoAndRedoExactly()
    {
        auto document = openThree();
        const LayerTable& table = document->table();
        const Blob photo = std::get<Blob>(table.StoredValue(1, table.FieldIndex(Field::kep)));
        const QByteArray start = cardBytes(*document, dir);
        QRandomGenerator random(20261209);
        const std::string_view fields[] = {Field::left, Field::top, Field::width, Field::felkover, Field::shape,
                                           Field::brushstyle, Field::penwidth, Field::szin};
        for (int i = 0; i < 400; ++i) {
            const int count = table.StoredCount();
            const CardDocument::LayerId some = count ? table.StoredId(random.bounded(count)) : 0;
            switch (random.bounded(7)) {
            case 0: document->appendLayer(textLayer, "Új szöveg"); break;
            case 1: document->appendLayer([&](int n) { return pictureLayer(n, photo); }, "Új kép"); break;
            case 2: document->appendLayer(shapeLayer, "Új alakzat"); break;
            case 3:
                if (some && count > 2)
                    document->removeLayer(some, "Réteg törlése");
                break;
            case 4:
                if (some)
                    document->restack(some, random.bounded(2) ? 1 : -1, "Előtérbe hoz");
                break;
            case 5:
                if (some) {
                    const std::string_view field = fields[random.bounded(8)];
                    const FieldValue value = field == Field::felkover ? FieldValue(random.bounded(2) == 1)
                                                                      : FieldValue(std::int32_t(random.bounded(200)));
                    document->change(some, {{field, value}}, "Változás");
                }
                break;
            default:
                if (some)
                    document->type(some, Field::nev, "t" + std::to_string(i), "Gépelés");
                break;
            }
        }
        const QByteArray end = cardBytes(*document, dir);
        QVERIFY(document->history().count() > 300);
        document->history().setIndex(0);
        QVERIFY(cardBytes(*document, dir) == start);
        QVERIFY(!document->isModified());
        document->history().setIndex(document->history().count());
        QVERIFY(cardBytes(*document, dir) == end);
    }
};

REGISTER_TEST(CardDocumentTest)

#include "CardDocumentTest.moc"

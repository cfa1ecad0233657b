#include "layer/LayerRecord.h"

#include "layer/LayerCodes.h"
#include "tests/Failure.h"
#include "tests/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

LayerTable openLayerTable()
{
    LayerTable Tbl = makeLayerTable();
    Tbl.OnCalcFields = TblCalcFields;
    Tbl.OpenTable();
    return Tbl;
}

} // namespace

class LayerRecordTest : public QObject
{
    Q_OBJECT

private slots:
    // The new-text layer of the file format's own example, written from its
    // values, must give the example's bytes exactly.
    void newTextLayerIsWrittenAsTheExampleFile()
    {
        LayerTable Tbl = openLayerTable();
        Tbl.AddNewRecord();
        Tbl.WriteField("sorszam", 1);
        Tbl.WriteField("nev", std::string("sz\xF6veg" "1"));
        Tbl.WriteField("betutipus", std::string("Arial"));
        Tbl.WriteField("compnev", std::string("lbl482"));
        Tbl.PostRecord();

        QTemporaryDir dir;
        const QString out = dir.filePath("card.bcrd");
        Tbl.SaveFile(out.toStdString());
        const QByteArray expected = fileBytes(TEST_DATA_DIR "/worked-example.bcrd");
        QCOMPARE(expected.size(), 1897);
        QCOMPARE(fileBytes(out), expected);
    }

    void kindNameFollowsTheKindCode()
    {
        LayerTable Tbl = openLayerTable();
        const std::pair<int, std::string> kinds[] = {
            {0, "sz\xF6veg"}, {1, "k\xE9p"}, {2, "alakzat"}, {3, ""}, {-1, ""}};
        for (const auto& [code, name] : kinds) {
            Tbl.AddNewRecord();
            Tbl.WriteField("tipus", code);
            Tbl.PostRecord();
            const FieldValue& value = Tbl.ReadField("tipus_nev");
            QCOMPARE(isNull(value) ? std::string() : std::get<std::string>(value), name);
        }
        QCOMPARE(Tbl.RecordTotal(), 5);
    }

    void longTextIsCutToTheFieldSize()
    {
        LayerTable Tbl = openLayerTable();
        Tbl.AddNewRecord();
        Tbl.WriteField("nev", std::string(60, 'x'));
        Tbl.WriteField("keptip", std::string(".JPEG-and-more"));
        QCOMPARE(std::get<std::string>(Tbl.ReadField("nev")), std::string(50, 'x'));
        QCOMPARE(std::get<std::string>(Tbl.ReadField("keptip")), std::string(".JPEG-and-"));
    }

    void emptyFieldsReadAsTheirDrawingDefaults()
    {
        LayerTable Tbl = openLayerTable();
        Tbl.AddNewRecord();
        for (const char* name : {"brushcolor", "penwidth", "pencolor", "nev"})
            Tbl.WriteField(name, std::monostate{});
        QCOMPARE(ReadLayerInt(Tbl, "brushcolor"), WhiteColor);
        QCOMPARE(ReadLayerInt(Tbl, "penwidth"), 1);
        QCOMPARE(ReadLayerInt(Tbl, "pencolor"), 0);
        QCOMPARE(ReadStr(Tbl, "nev"), std::string());
        QCOMPARE(ReadBool(Tbl, "felkover"), false);
    }

    void loadedCardHasNoKindNameField()
    {
        LayerTable Tbl = openLayerTable();
        int calculations = 0;
        Tbl.OnCalcFields = [&](LayerTable& table) {
            ++calculations;
            TblCalcFields(table);
        };
        Tbl.LoadFile(TEST_DATA_DIR "/worked-example.bcrd");

        QCOMPARE(calculations, 0);
        QCOMPARE(Tbl.Fields().size(), size_t(27));
        QCOMPARE(failureOf([&] { Tbl.ReadField("tipus_nev"); }), std::string("Tbl: Field 'tipus_nev' not found"));
    }

    // Messages are shown as they stand, so the Windows-1250 label must
    // arrive as UTF-8.
    void errorMessagesCarryLabelsAsUtf8()
    {
        LayerTable Tbl = openLayerTable();
        Tbl.AddNewRecord();
        try {
            Tbl.WriteField("brushcolor", std::string("piros"));
            QFAIL("no error");
        } catch (const TableError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("'piros' is not a valid integer value for field 'festőszín'"));
        }
        QCOMPARE(std::get<std::int32_t>(Tbl.ReadField("brushcolor")), 0);
    }
};

REGISTER_TEST(LayerRecordTest)
#include "LayerRecordTest.moc"

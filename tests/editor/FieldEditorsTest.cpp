#include "editor/FieldEditors.h"
#include "tests/TestRegistry.h"
#include "tests/editor/LayerTables.h"

#include <QApplication>
#include <QTest>

namespace {

const QColor Sky(166, 202, 240);

// Typed as a keyboard with those letters would type them.
void type(QWidget* editor, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
    }
}

std::string stored(const LayerTable& Tbl, const char* field)
{
    const FieldValue& value = Tbl.ReadField(field);
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return isNull(value) ? "(null)" : std::get<std::string>(value);
}

} // namespace

// The text panel in small: the text box, the size box (6 to 36 points) and
// a control to move the focus to, on the first of three layers.
class FieldEditorBinding : public QObject
{
    Q_OBJECT

    std::unique_ptr<LayerTable> mTbl;
    std::unique_ptr<QWidget> mWindow;
    FieldEdit* mText = nullptr;
    FieldComboBox* mSize = nullptr;
    QLineEdit* mOther = nullptr;

    void typeSize(const QString& text)
    {
        mSize->lineEdit()->selectAll();
        QTest::keyClicks(mSize->lineEdit(), text);
    }

private slots:
    void init()
    {
        mTbl = std::make_unique<LayerTable>(threeLayers());
        mWindow = std::make_unique<QWidget>();
        mText = new FieldEdit(*mTbl, "nev", mWindow.get());
        mSize = new FieldComboBox(*mTbl, "betumeret", mWindow.get());
        mOther = new QLineEdit(mWindow.get());
        for (int points = 6; points <= 36; ++points)
            mSize->addItem(QString::number(points));
    }

    void cleanup()
    {
        mWindow.reset();
        mTbl.reset();
    }

    void typingEditsTheRecordAndPostingWritesIt()
    {
        QCOMPARE(mText->text(), FirstText);
        QCOMPARE(mSize->currentText(), QString("8"));
        // Showing other records starts no edit.
        mTbl->MoveLast();
        mTbl->MoveFirst();
        QCOMPARE(mTbl->State(), TableState::Browse);

        type(mText, QString::fromUtf8("né"));
        QCOMPARE(mTbl->State(), TableState::Edit);
        typeSize("12");
        // Each editor's input survives the other's being written.
        mTbl->PostRecord();
        QCOMPARE(stored(*mTbl, "nev"), FirstStored + "n\xE9");
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("12"));
    }

    // The typed text belongs to the layer it was typed for; a command that
    // writes the field shows at once, and a cancel drops what was typed.
    void typedTextStaysWithItsLayer()
    {
        QTest::keyClicks(mText, "!");
        mTbl->MoveNext();
        QCOMPARE(mText->text(), QString::fromUtf8("logó"));
        QCOMPARE(stored(*mTbl, "nev"), std::string("log\xF3"));
        mTbl->MovePrior();
        QCOMPARE(stored(*mTbl, "nev"), FirstStored + "!");

        mTbl->EditRecord();
        mTbl->WriteField("betumeret", 14);
        mTbl->PostRecord();
        QCOMPARE(mSize->currentIndex(), 8);
        QTest::keyClicks(mText, "xyz");
        mTbl->CancelRecord();
        QCOMPARE(mText->text(), FirstText + "!");
        mTbl->EditRecord();
        mTbl->PostRecord();
        QCOMPARE(stored(*mTbl, "nev"), FirstStored + "!");
    }

    // Typed digits stay as typed: 1 is 1 point before 14 is typed. Picking
    // an entry edits the record too.
    void sizeIsTypedOrPicked()
    {
        QTest::keyClick(mSize, Qt::Key_Down);
        QCOMPARE(mTbl->State(), TableState::Edit);
        mTbl->PostRecord();
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("9"));
        typeSize("1");
        QCOMPARE(mSize->currentText(), QString("1"));
        QTest::keyClicks(mSize->lineEdit(), "4\r");
        mTbl->PostRecord();
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("14"));
    }

    // The table refuses a size that is no number; the input stays
    // pending, so correcting it still saves.
    void sizeThatIsNoNumberIsRefusedUntilCorrected()
    {
        typeSize("x");
        try {
            mTbl->PostRecord();
            QFAIL("no error");
        } catch (const TableError& e) {
            QCOMPARE(QString(e.what()), QString("'x' is not a valid integer value for field 'betumeret'"));
        }
        QCOMPARE(mTbl->State(), TableState::Edit);
        QTest::keyClick(mSize->lineEdit(), Qt::Key_Backspace);
        mTbl->PostRecord();
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("(null)"));
    }

    void onlyWhatTheFieldCanHoldIsTyped()
    {
        mText->clear();
        type(mText, QString::fromUtf8("日本"));
        QCOMPARE(mText->text(), QString());
        type(mText, QString(51, u'ő'));
        mTbl->PostRecord();
        QCOMPARE(stored(*mTbl, "nev"), std::string(50, '\xF5'));
    }

    void focusShowsSkyBlueAndLeavingWrites()
    {
        QVERIFY(showActive(*mWindow, mText));
        const QColor normal = QApplication::palette(mText).color(QPalette::Base);
        QVERIFY(normal != Sky);
        QCOMPARE(mText->palette().color(QPalette::Base), Sky);
        QTest::keyClicks(mText, "?");
        mSize->setFocus();
        QCOMPARE(mText->palette().color(QPalette::Base), normal);
        QCOMPARE(mSize->lineEdit()->palette().color(QPalette::Base), Sky);
        // Written into the record, which waits for its post.
        QCOMPARE(stored(*mTbl, "nev"), FirstStored + "?");
        QCOMPARE(mTbl->State(), TableState::Edit);
        mOther->setFocus();
        QCOMPARE(mSize->lineEdit()->palette().color(QPalette::Base), normal);
    }
};

REGISTER_TEST(FieldEditorBinding)

#include "FieldEditorsTest.moc"

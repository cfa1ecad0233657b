#include "editor/FieldEditors.h"
#include "tests/TestRegistry.h"
#include "tests/editor/LayerTables.h"
#include "editor/ErrorBox.h"
#include "layer/Win1250Text.h"

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
// a control to move the focus to, on the first of three layers. Their
// writer changes the record at once, as the card's document does.
class FieldEditorBinding : public QObject
{
    Q_OBJECT

    std::unique_ptr<LayerTable> mTbl;
    std::unique_ptr<QWidget> mWindow;
    FieldEdit* mText = nullptr;
    FieldComboBox* mSize = nullptr;
    QLineEdit* mOther = nullptr;
    QStringList mWritten;

    void typeSize(const QString& text)
    {
        mSize->lineEdit()->selectAll();
        QTest::keyClicks(mSize->lineEdit(), text);
    }

    FieldBinding::Writer writerOf(const char* field)
    {
        return [this, field](const QString& text) {
            mWritten << QString(field) + "=" + text;
            mTbl->EditRecord();
            mTbl->WriteField(field, field == std::string("nev") ? toWin1250(text) : text.toStdString());
            mTbl->PostRecord();
        };
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
        mText->setWriter(writerOf("nev"));
        mSize->setWriter(writerOf("betumeret"));
        mWritten.clear();
    }

    void cleanup()
    {
        mWindow.reset();
        mTbl.reset();
    }

    // Every keystroke goes to the writer; showing other records writes
    // nothing, and the typing stays where the cursor was.
    void eachKeystrokeIsWrittenAndShownRecordsAreNot()
    {
        QCOMPARE(mText->text(), FirstText);
        QCOMPARE(mSize->currentText(), QString("8"));
        mTbl->MoveLast();
        mTbl->MoveFirst();
        QVERIFY(mWritten.isEmpty());

        mText->setCursorPosition(0);
        type(mText, QString::fromUtf8("né"));
        QCOMPARE(mWritten, QStringList({"nev=n" + FirstText, QString::fromUtf8("nev=né") + FirstText}));
        QCOMPARE(stored(*mTbl, "nev"), "n\xE9" + FirstStored);
        QCOMPARE(mText->cursorPosition(), 2);
        typeSize("12");
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("12"));
        QCOMPARE(mTbl->State(), TableState::Browse);
    }

    // The editors follow the record: another layer, or a command that
    // writes the field, shows at once.
    void editorsShowTheCurrentRecord()
    {
        QTest::keyClicks(mText, "!");
        mTbl->MoveNext();
        QCOMPARE(mText->text(), QString::fromUtf8("logó"));
        mTbl->MovePrior();
        QCOMPARE(mText->text(), FirstText + "!");
        mTbl->EditRecord();
        mTbl->WriteField("betumeret", 14);
        mTbl->PostRecord();
        QCOMPARE(mSize->currentIndex(), 8);
        QCOMPARE(mWritten.size(), 1);
    }

    // Typed digits go as typed: 1 before 14; picking an entry writes too.
    // A writer that refuses leaves the typing in the box.
    void sizeIsTypedOrPicked()
    {
        QTest::keyClick(mSize, Qt::Key_Down);
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("9"));
        typeSize("1");
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("1"));
        QTest::keyClicks(mSize->lineEdit(), "4");
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("14"));
        QStringList shown;
        setErrorPresenter([&](QWidget*, const QString&, const QString& text) { shown << text; });
        mSize->setWriter([](const QString&) { throw TableError("refused"); });
        typeSize("x");
        setErrorPresenter(nullptr);
        QCOMPARE(shown, QStringList({"refused."}));
        QCOMPARE(mSize->currentText(), QString("x"));
        QCOMPARE(stored(*mTbl, "betumeret"), std::string("14"));
    }

    void onlyWhatTheFieldCanHoldIsTyped()
    {
        mText->selectAll();
        type(mText, QString::fromUtf8("日本"));
        QCOMPARE(mText->text(), FirstText);
        mText->clear();
        type(mText, QString(51, u'ő'));
        QCOMPARE(stored(*mTbl, "nev"), std::string(50, '\xF5'));
    }

    // What cannot be kept is refused with a note naming it, never dropped
    // without a word: characters Windows-1250 lacks, and the 51st.
    void refusedTypingIsSaid()
    {
        QStringList notes;
        connect(mText, &FieldEdit::refused, this, [&](const QString& note) { notes << note; });
        mText->clear();
        type(mText, QString::fromUtf8("Zoë Петров 😀"));
        QCOMPARE(mText->text(), QString::fromUtf8("Zoë  "));
        QCOMPARE(stored(*mTbl, "nev"), std::string("Zo\xEB  "));
        QVERIFY(!notes.isEmpty());
        QVERIFY2(notes.first().contains(QString::fromUtf8("П")), qPrintable(notes.first()));
        QVERIFY(StorableTextValidator::refusal(QString::fromUtf8("x😀y😀"), 0).endsWith(QString::fromUtf8(": 😀")));

        notes.clear();
        mText->setText(QString(49, 'a'));
        type(mText, "bc");
        QCOMPARE(mText->text().size(), 50);
        QCOMPARE(notes, QStringList{QString::fromUtf8("A szöveg legfeljebb 50 karakter lehet.")});

        // A record shown is not the user's typing: nothing is said.
        notes.clear();
        mTbl->MoveNext();
        QVERIFY(notes.isEmpty());
        QCOMPARE(StorableTextValidator::refusal(QString::fromUtf8("a\tő"), 0),
                 QString::fromUtf8("Vezérlőkarakter nem kerülhet a szövegbe."));
        QVERIFY(StorableTextValidator::refusal(QString::fromUtf8("Árvíztűrő tükörfúrógép"), 50).isEmpty());
    }

    void focusShowsSkyBlue()
    {
        QVERIFY(showActive(*mWindow, mText));
        const QColor normal = QApplication::palette(mText).color(QPalette::Base);
        QVERIFY(normal != Sky);
        QCOMPARE(mText->palette().color(QPalette::Base), Sky);
        mSize->setFocus();
        QCOMPARE(mText->palette().color(QPalette::Base), normal);
        QCOMPARE(mSize->lineEdit()->palette().color(QPalette::Base), Sky);
        mOther->setFocus();
        QCOMPARE(mSize->lineEdit()->palette().color(QPalette::Base), normal);
    }
};

REGISTER_TEST(FieldEditorBinding)

#include "FieldEditorsTest.moc"

#include "editor/FieldEditors.h"
#include "tests/TestRegistry.h"
#include "tests/editor/LayerTables.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

const QColor Sky(166, 202, 240);

// Typed as a keyboard with those letters would type them.
void type(QWidget* editor, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
    }
}

std::string stored(const LayerTable& Tbl, const char* field)
{
    const FieldValue& value = Tbl.ReadField(field);
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return isNull(value) ? "(null)" : std::get<std::string>(value);
}

// The text panel in small: the text box, the size box and a control to
// move the focus to.
struct Panel
{
    explicit Panel(LayerTable& table)
        : text(new FieldEdit(table, "nev", &window))
        , size(new FieldComboBox(table, "betumeret", &window))
        , other(new QLineEdit(&window))
    {
        for (int points = 6; points <= 36; ++points)
            size->addItem(QString::number(points));
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(text);
        layout->addWidget(size);
        layout->addWidget(other);
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    QWidget window;
    FieldEdit* text;
    FieldComboBox* size;
    QLineEdit* other;
};

} // namespace

class FieldEditorBinding : public QObject
{
    Q_OBJECT

private slots:
    void typingEditsTheRecordAndPostingWritesIt()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        QCOMPARE(panel.text->text(), QString::fromUtf8("Kovács Árpád"));
        QCOMPARE(panel.size->currentText(), QString("8"));

        type(panel.text, QString::fromUtf8("né"));
        QCOMPARE(Tbl.State(), TableState::Edit);
        panel.size->lineEdit()->selectAll();
        type(panel.size->lineEdit(), "12");
        // Each editor's input survives the other's being written.
        Tbl.PostRecord();
        QCOMPARE(stored(Tbl, "nev"), std::string("Kov\xE1" "cs \xC1rp\xE1" "dn\xE9"));
        QCOMPARE(stored(Tbl, "betumeret"), std::string("12"));
    }

    // The typed text belongs to the layer it was typed for.
    void scrollingShowsTheNextLayerWithoutCarryingText()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        QSignalSpy changes(panel.text, &QLineEdit::textChanged);
        QTest::keyClicks(panel.text, "!");
        Tbl.MoveNext();
        QCOMPARE(panel.text->text(), QString::fromUtf8("logó"));
        QCOMPARE(stored(Tbl, "nev"), std::string("log\xF3"));
        QCOMPARE(Tbl.State(), TableState::Browse);
        QCOMPARE(changes.size(), 2);  // the typing and the new layer's text
        Tbl.MovePrior();
        QCOMPARE(stored(Tbl, "nev"), std::string("Kov\xE1" "cs \xC1rp\xE1" "d!"));
    }

    void shownValuesDoNotStartAnEdit()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        Tbl.MoveLast();
        Tbl.MoveFirst();
        QCOMPARE(Tbl.State(), TableState::Browse);
        Tbl.EditRecord();
        Tbl.PostRecord();
        QCOMPARE(Tbl.IsModified(), false);
    }

    // A command that writes the field shows at once; a cancel drops what
    // was typed.
    void commandsAndCancelsReplaceTheText()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        Tbl.EditRecord();
        Tbl.WriteField("betumeret", 14);
        Tbl.PostRecord();
        QCOMPARE(panel.size->currentText(), QString("14"));
        QCOMPARE(panel.size->currentIndex(), 8);

        QTest::keyClicks(panel.text, "xyz");
        Tbl.CancelRecord();
        QCOMPARE(panel.text->text(), QString::fromUtf8("Kovács Árpád"));
        Tbl.EditRecord();
        Tbl.PostRecord();
        QCOMPARE(stored(Tbl, "nev"), std::string("Kov\xE1" "cs \xC1rp\xE1" "d"));
    }

    // Typed digits stay as typed: 1 is 1 point before 14 is typed.
    void sizeIsNotCompletedFromTheList()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        panel.size->lineEdit()->selectAll();
        QTest::keyClick(panel.size->lineEdit(), Qt::Key_1);
        QCOMPARE(panel.size->currentText(), QString("1"));
        QTest::keyClick(panel.size->lineEdit(), Qt::Key_4);
        QTest::keyClick(panel.size->lineEdit(), Qt::Key_Return);
        QCOMPARE(panel.size->count(), 31);
        Tbl.PostRecord();
        QCOMPARE(stored(Tbl, "betumeret"), std::string("14"));
    }

    void pickingAnEntryEditsTheRecord()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        QTest::keyClick(panel.size, Qt::Key_Down);
        QCOMPARE(panel.size->currentText(), QString("9"));
        QCOMPARE(Tbl.State(), TableState::Edit);
        Tbl.PostRecord();
        QCOMPARE(stored(Tbl, "betumeret"), std::string("9"));
    }

    // The table refuses a size that is no number; the input stays
    // pending, so correcting it still saves.
    void sizeThatIsNoNumberIsRefusedUntilCorrected()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        panel.size->lineEdit()->selectAll();
        QTest::keyClicks(panel.size->lineEdit(), "x");
        try {
            Tbl.PostRecord();
            QFAIL("no error");
        } catch (const TableError& e) {
            QCOMPARE(QString(e.what()), QString("'x' is not a valid integer value for field 'betumeret'"));
        }
        QCOMPARE(Tbl.State(), TableState::Edit);
        QTest::keyClick(panel.size->lineEdit(), Qt::Key_Backspace);
        Tbl.PostRecord();
        QCOMPARE(stored(Tbl, "betumeret"), std::string("(null)"));
    }

    void onlyWhatTheFieldCanHoldIsTyped()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        panel.text->clear();
        type(panel.text, QString::fromUtf8("日本"));
        QCOMPARE(panel.text->text(), QString());
        type(panel.text, QString(51, u'ő'));
        QCOMPARE(panel.text->text(), QString(50, u'ő'));
        Tbl.PostRecord();
        QCOMPARE(stored(Tbl, "nev"), std::string(50, '\xF5'));
    }

    void focusShowsSkyBlueAndLeavingWrites()
    {
        LayerTable Tbl = threeLayers();
        Panel panel(Tbl);
        QVERIFY(panel.show());
        const QColor normal = QApplication::palette(panel.text).color(QPalette::Base);
        QVERIFY(normal != Sky);

        panel.text->setFocus();
        QCOMPARE(panel.text->palette().color(QPalette::Base), Sky);
        QTest::keyClicks(panel.text, "?");
        panel.size->setFocus();
        QCOMPARE(panel.text->palette().color(QPalette::Base), normal);
        QCOMPARE(panel.size->lineEdit()->palette().color(QPalette::Base), Sky);
        // Written into the record, which waits for its post.
        QCOMPARE(stored(Tbl, "nev"), std::string("Kov\xE1" "cs \xC1rp\xE1" "d?"));
        QCOMPARE(Tbl.State(), TableState::Edit);

        panel.other->setFocus();
        QCOMPARE(panel.size->lineEdit()->palette().color(QPalette::Base), normal);
    }
};

REGISTER_TEST(FieldEditorBinding)

#include "FieldEditorsTest.moc"

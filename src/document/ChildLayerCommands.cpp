#include "document/Child.h"

#include "document/Dialogs.h"
#include "document/PictureFile.h"
#include "editor/CardElement.h"
#include "editor/FieldEditors.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"

#include "storage/TableError.h"

#include <QRandomGenerator>

#include <limits>

namespace {

// The generated descriptions, Windows-1250: "szöveg", "kép", "alakzat".
const std::string TextName = "sz\xF6veg";
const std::string PictureName = "k\xE9p";
const std::string ShapeName = "alakzat";

constexpr int NewLayerLeft = 10;
constexpr int NewLayerTop = 10;
constexpr std::int32_t ParkedNumber = 9999;

const std::string NumbersExhausted =
    "A kártya legfelső rétegének sorszáma már 9998 vagy nagyobb, ezért új réteg nem adható hozzá.";

} // namespace

// Steps shared by the creating commands: the number after the last layer's,
// the append (which runs the selection sync on the blank record), the
// fields, the post. A foreign card whose last number leaves no room below
// the parking value gets no new layer, and nothing of it changes.
int Tfrm_Child::appendLayer(const std::function<void(int number)>& write)
{
    if (lastLayerNumber() >= ParkedNumber - 1)
        throw TableError(NumbersExhausted);
    int last = 0;
    if (Tbl.StoredCount() > 0) {
        Tbl.MoveLast();
        last = ReadInt(Tbl, Field::sorszam, 0);
    }
    Tbl.AddNewRecord();
    write(last + 1);
    Tbl.WriteField(Field::sorszam, last + 1);
    Tbl.WriteField(Field::left, NewLayerLeft);
    Tbl.WriteField(Field::top, NewLayerTop);
    Tbl.PostRecord();
    return last + 1;
}

// The number of the last layer in table order, 0 on an empty card; read
// without moving the cursor, so that a refusal changes nothing.
int Tfrm_Child::lastLayerNumber() const
{
    const int field = Tbl.FieldIndex(Field::sorszam);
    if (field < 0 || Tbl.StoredCount() == 0)
        return 0;
    const auto* number = std::get_if<std::int32_t>(&Tbl.StoredValue(Tbl.StoredCount() - 1, field));
    return number ? *number : 0;
}

std::function<int()> Tfrm_Child::DrawNameNumber = [] {
    return static_cast<int>(QRandomGenerator::global()->bounded(2147483647));
};

// A number drawn at random, drawn again until no layer of this card uses
// the name.
QString Tfrm_Child::newElementName(const char* prefix) const
{
    const int field = Tbl.FieldIndex(Field::compnev);
    for (;;) {
        const QString name = QString::fromLatin1(prefix) + QString::number(DrawNameNumber());
        bool taken = findElement(name) != nullptr;
        for (int row = 0; field >= 0 && row < Tbl.StoredCount() && !taken; ++row) {
            const auto* stored = std::get_if<std::string>(&Tbl.StoredValue(row, field));
            taken = stored && fromWin1250(*stored).compare(name, Qt::CaseInsensitive) == 0;
        }
        if (!taken)
            return name;
    }
}

void Tfrm_Child::aSzovegExecute()
{
    const QString name = newElementName("lbl");
    appendLayer([&](int number) {
        Tbl.WriteField(Field::tipus, 0);
        Tbl.WriteField(Field::nev, TextName + std::to_string(number));
        Tbl.WriteField(Field::betutipus, toWin1250(TextFont.family()));
        Tbl.WriteField(Field::betumeret, TextFont.pointSize());
        Tbl.WriteField(Field::felkover, TextFont.bold());
        Tbl.WriteField(Field::dolt, TextFont.italic());
        Tbl.WriteField(Field::alahuzott, TextFont.underline());
        Tbl.WriteField(Field::szin, 0);
        Tbl.WriteField(Field::igazitas, 0);
        Tbl.WriteField(Field::compnev, toWin1250(name));
    });
    BuildTextElement();
    // The user's typing replaces the generated text.
    DBEdit1->setFocus();
    DBEdit1->selectAll();
    Modified = true;
}

void Tfrm_Child::aKepExecute()
{
    if (lastLayerNumber() >= ParkedNumber - 1)
        throw TableError(NumbersExhausted);
    const std::optional<QString> path = dialogs().openPicture(this, pictureFilter());
    if (!path) {
        Modified = true;
        return;
    }
    const ChosenPicture chosen = readChosenPicture(*path);
    const QString name = newElementName("img");
    appendLayer([&](int number) {
        Tbl.WriteField(Field::tipus, 1);
        Tbl.WriteField(Field::nev, PictureName + std::to_string(number));
        Tbl.WriteField(Field::width, chosen.size.width());
        Tbl.WriteField(Field::height, chosen.size.height());
        Tbl.WriteBlob(Field::kep, chosen.bytes);
        Tbl.WriteField(Field::keptip, chosen.extension);
        Tbl.WriteField(Field::strech, true);
        Tbl.WriteField(Field::compnev, toWin1250(name));
    });
    BuildImageElement();
    Modified = true;
}

void Tfrm_Child::aAlakzatExecute()
{
    const QString name = newElementName("shp");
    appendLayer([&](int number) {
        Tbl.WriteField(Field::tipus, 2);
        Tbl.WriteField(Field::nev, ShapeName + std::to_string(number));
        Tbl.WriteField(Field::brushcolor, WhiteColor);
        Tbl.WriteField(Field::brushstyle, 0);
        Tbl.WriteField(Field::shape, 0);
        Tbl.WriteField(Field::pencolor, 0);
        Tbl.WriteField(Field::penstyle, 0);
        Tbl.WriteField(Field::penwidth, 1);
        Tbl.WriteField(Field::compnev, toWin1250(name));
    });
    BuildShapeElement();
    Modified = true;
}

// No question is asked; the other layers keep their numbers.
void Tfrm_Child::aTorolExecute()
{
    if (CardElement* element = CurrentElement) {
        CurrentElement = nullptr;
        delete element;
        Tbl.RemoveRecord();
    }
    Modified = true;
}

void Tfrm_Child::aFeljebbExecute()
{
    restack(+1);
}

void Tfrm_Child::aHatrabbExecute()
{
    restack(-1);
}

// One step up (+1) or down (-1) the stack: the current layer and its
// neighbour exchange numbers through the parking value. Where the
// neighbour's number is missing, the layer's own number moves into the gap
// and the order stays as it was, in a sorted table too. The layers are
// followed by their records, not by their numbers, so a sort that moves
// the parked layer, or a foreign card's repeated number, cannot make the
// step change another layer. A number that would reach the parking value
// or leave the integers is no step.
void Tfrm_Child::restack(int step)
{
    if (Tbl.IsEditing())
        Tbl.PostRecord();
    const int position = Tbl.RecordPosition();
    if (Tbl.RecordTotal() == 0 || position < 0 || (step > 0 ? position == Tbl.RecordTotal() : position == 1))
        return;
    const std::int32_t a = ReadInt(Tbl, Field::sorszam, 0);
    const std::int64_t target = std::int64_t(a) + step;
    if (target >= ParkedNumber || target < std::numeric_limits<std::int32_t>::min())
        return;
    const LayerTable::RecordId moved = Tbl.CurrentId();
    LayerTable::RecordId neighbour = 0;
    const int numbers = Tbl.FieldIndex(Field::sorszam);
    for (int row = 0; row < Tbl.StoredCount() && neighbour == 0; ++row) {
        const auto* number = std::get_if<std::int32_t>(&Tbl.StoredValue(row, numbers));
        if (number && *number == target && Tbl.StoredId(row) != moved)
            neighbour = Tbl.StoredId(row);
    }
    // The sync stays away from the moves below; the rebuild attaches it
    // again, and so does a failure on the way.
    struct SyncDetached
    {
        Tfrm_Child& window;
        ~SyncDetached()
        {
            if (!window.Tbl.AfterScroll)
                window.Tbl.AfterScroll = [w = &window](LayerTable& t) { w->TblAfterScroll(t); };
        }
    } detached{*this};
    Tbl.AfterScroll = nullptr;
    auto renumber = [this](LayerTable::RecordId id, std::int32_t number) {
        Tbl.LocateId(id);
        Tbl.EditRecord();
        Tbl.WriteField(Field::sorszam, number);
        Tbl.PostRecord();
    };
    if (neighbour != 0) {
        renumber(moved, ParkedNumber);
        renumber(neighbour, a);
    }
    renumber(moved, static_cast<std::int32_t>(target));
    Tbl.SortRecords(std::string(Field::sorszam));
    Tbl.LocateId(moved);
    RebuildElements();
    TblAfterScroll(Tbl);
    Modified = true;
}

#include "document/Child.h"

#include "document/Dialogs.h"
#include "document/PictureFile.h"
#include "editor/CardElement.h"
#include "editor/FieldEditors.h"
#include "layer/LayerFields.h"
#include "layer/LayerLook.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"
#include "storage/TableError.h"

#include <QAction>
#include <QRandomGenerator>

namespace {

// The generated descriptions, Windows-1250: "szöveg", "kép", "alakzat".
const std::string TextName = "sz\xF6veg";
const std::string PictureName = "k\xE9p";
const std::string ShapeName = "alakzat";
const std::string QrName = "QR-k\xF3" "d";

// A new QR code's box: about 34 mm, where a full contact's modules print
// at about half a millimetre.
constexpr int QrSide = 130;

constexpr int NewLayerLeft = 10;
constexpr int NewLayerTop = 10;

} // namespace

std::function<int()> Tfrm_Child::DrawNameNumber = [] {
    return static_cast<int>(QRandomGenerator::global()->bounded(2147483647));
};

// A number drawn at random, drawn again until no layer of this card uses
// the name.
QString Tfrm_Child::newElementName(const char* prefix) const
{
    const int field = Tbl().FieldIndex(Field::compnev);
    for (;;) {
        const QString name = QString::fromLatin1(prefix) + QString::number(DrawNameNumber());
        bool taken = findElement(name) != nullptr;
        for (int row = 0; field >= 0 && row < Tbl().StoredCount() && !taken; ++row) {
            const auto* stored = std::get_if<std::string>(&Tbl().StoredValue(row, field));
            taken = stored && fromWin1250(*stored).compare(name, Qt::CaseInsensitive) == 0;
        }
        if (!taken)
            return name;
    }
}

void Tfrm_Child::aSzovegExecute()
{
    const std::string name = toWin1250(newElementName("lbl"));
    const std::string face = toWin1250(mTextFont.family());
    const QFont font = mTextFont;
    mDocument.appendLayer(
        [&](int number) -> CardDocument::Values {
            return {{Field::tipus, 0},
                    {Field::nev, TextName + std::to_string(number)},
                    {Field::betutipus, face},
                    {Field::betumeret, font.pointSize()},
                    {Field::felkover, font.bold()},
                    {Field::dolt, font.italic()},
                    {Field::alahuzott, font.underline()},
                    {Field::szin, 0},
                    {Field::igazitas, 0},
                    {Field::compnev, name},
                    {Field::left, NewLayerLeft},
                    {Field::top, NewLayerTop}};
        },
        action("aSzoveg")->text());
    // The user's typing replaces the generated text.
    DBEdit1->setFocus();
    DBEdit1->selectAll();
}

// A card whose numbers cannot grow refuses before the dialog opens; a
// cancelled dialog adds nothing but counts as a change.
void Tfrm_Child::aKepExecute()
{
    mDocument.requireAppend();
    const std::optional<QString> path = dialogs().openPicture(this, pictureFilter());
    if (!path)
        return;
    addPictureLayer(readChosenPicture(*path), {NewLayerLeft, NewLayerTop}, action("aKep")->text());
}

// A picture layer whose picture is the code, its contents inside it, on
// top like a new picture; a cancelled dialog adds nothing.
void Tfrm_Child::aQrKodExecute()
{
    mDocument.requireAppend();
    mDialogClosed = true;
    mDragging = false;
    const std::optional<QrContents> chosen = dialogs().editQr(this, QrContents(), QrSide);
    if (!chosen)
        return;
    const Blob picture(qrPng(*chosen));
    const std::string name = toWin1250(newElementName("img"));
    mDocument.appendLayer(
        [&](int number) -> CardDocument::Values {
            return {{Field::tipus, 1},
                    {Field::nev, QrName + std::to_string(number)},
                    {Field::width, QrSide},
                    {Field::height, QrSide},
                    {Field::kep, picture},
                    {Field::keptip, std::string(".png")},
                    {Field::strech, true},
                    {Field::compnev, name},
                    {Field::left, NewLayerLeft},
                    {Field::top, NewLayerTop}};
        },
        action("aQrKod")->text());
}

void Tfrm_Child::aAlakzatExecute()
{
    const std::string name = toWin1250(newElementName("shp"));
    mDocument.appendLayer(
        [&](int number) -> CardDocument::Values {
            return {{Field::tipus, 2},
                    {Field::nev, ShapeName + std::to_string(number)},
                    {Field::brushcolor, WhiteColor},
                    {Field::brushstyle, 0},
                    {Field::shape, 0},
                    {Field::pencolor, 0},
                    {Field::penstyle, 0},
                    {Field::penwidth, 1},
                    {Field::compnev, name},
                    {Field::left, NewLayerLeft},
                    {Field::top, NewLayerTop}};
        },
        action("aAlakzat")->text());
}

// No question is asked: the step can be undone. Every selected layer goes,
// as one step.
void Tfrm_Child::aTorolExecute()
{
    if (grouped())
        mDocument.removeLayers(Selection(), action("aTorol")->text());
    else if (mCurrentElement)
        mDocument.removeLayer(mCurrentElement->layerId(), action("aTorol")->text());
}

void Tfrm_Child::aFeljebbExecute()
{
    restack(+1, "aFeljebb");
}

void Tfrm_Child::aHatrabbExecute()
{
    restack(-1, "aHatrabb");
}

// One step up (+1) or down (-1) the stack, as the document takes it; at the
// top or the bottom nothing changes. Selected layers move together, past
// their nearest neighbours that are not selected.
void Tfrm_Child::restack(int step, const char* name)
{
    if (grouped())
        mDocument.restackLayers(Selection(), step, action(name)->text());
    else if (const LayerTable::RecordId layer = mDocument.current())
        mDocument.restack(layer, step, action(name)->text());
}

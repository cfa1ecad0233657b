#include "document/Child.h"

#include "editor/CardSurface.h"
#include "print/PrintShop.h"

#include <QAction>

void Tfrm_Child::aVagasiVonalakExecute()
{
    showCutGuides(action("aVagasiVonalak")->isChecked());
    if (CutGuidesChosen)
        CutGuidesChosen(mCutGuides);
}

void Tfrm_Child::showCutGuides(bool shown)
{
    mCutGuides = shown;
    action("aVagasiVonalak")->setChecked(shown);
    placeCutGuides();
}

void Tfrm_Child::setCutBleed(double millimetres)
{
    mCutBleed = millimetres;
    placeCutGuides();
}

// The lines as the shop's file has them: the bleed box, the trim (the
// card's width, 50 mm tall in its middle) and the safe zone inside the
// trim, taken from the page's millimetres into card pixels.
void Tfrm_Child::placeCutGuides()
{
    if (!mCutGuides) {
        Surface1->showCutLines(std::nullopt);
        return;
    }
    const printshop::Options options{mCutBleed, false};
    const printshop::Geometry page = printshop::geometry(options);
    const auto inCard = [&](const QRectF& millimetres) {
        return QRectF((millimetres.topLeft() - page.cardOrigin) / page.mmPerPixel,
                      millimetres.size() / page.mmPerPixel);
    };
    const double safe = printshop::SafeZone;
    Surface1->showCutLines(CutLines{printshop::bleedInCard(options), inCard(page.trim),
                                    inCard(page.trim.adjusted(safe, safe, -safe, -safe))});
}

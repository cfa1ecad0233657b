#include "document/Child.h"

#include "document/Dialogs.h"
#include "document/PictureFile.h"
#include "editor/ErrorBox.h"
#include "layer/PictureDecoder.h"
#include "layer/ReducedPicture.h"

std::function<std::string(std::string_view, std::string_view, QSize)> Tfrm_Child::ReducePicture = reducedPicture;

// The picture as it is to be stored in a box, where that is less than the
// picture chosen: reduced to 600 ppi of the box, in its own format, when it
// holds more than twice the pixels that needs and the user agrees, or had
// the answer remembered. Nothing keeps the picture as chosen: so does a
// reduction that fails (said in an error box, the picture still placed)
// or one that would save nothing.
std::optional<ChosenPicture> Tfrm_Child::reducedForBox(const ChosenPicture& chosen, QSize box, bool stretch)
{
    if (mLargePictures == LargePictures::Keep)
        return std::nullopt;
    const std::optional<QSize> size = reducedSize(chosen.size, box, stretch, chosen.extension);
    if (!size)
        return std::nullopt;
    ChosenPicture reduced{{}, chosen.extension, *size};
    try {
        reduced.bytes = ReducePicture(chosen.bytes, chosen.extension, *size);
    } catch (const std::exception&) {
        showError(PictureError("A kép kicsinyítése nem sikerült, ezért a kép eredeti méretében került a kártyára"));
        return std::nullopt;
    }
    if (reduced.bytes.empty() || reduced.bytes.size() >= chosen.bytes.size())
        return std::nullopt;
    if (mLargePictures == LargePictures::Ask) {
        const Dialogs::ReductionChoice choice =
            dialogs().offerReduction(this, {chosen.size, chosen.bytes.size(), *size, reduced.bytes.size()});
        mDialogClosed = true;
        mDragging = false;
        if (choice.remember) {
            mLargePictures = choice.reduce ? LargePictures::Reduce : LargePictures::Keep;
            if (LargePicturesChosen)
                LargePicturesChosen(mLargePictures);
        }
        if (!choice.reduce)
            return std::nullopt;
    }
    return reduced;
}

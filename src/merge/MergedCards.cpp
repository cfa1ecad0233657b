#include "merge/MergedCards.h"

#include "merge/QrCode.h"

#include <string>

MergedCards::MergedCards(const QString& dataPath, MergeTemplate front, std::optional<MergeTemplate> back,
                         int copiesEach, std::vector<long long> chosen)
    : mPath(dataPath), mFront(std::move(front)), mBack(std::move(back)), mCopiesEach(std::max(1, copiesEach)),
      mChosen(std::move(chosen))
{
    mReader = openRecords(mPath);
    mColumns = Columns(mReader->columns());
    mPeople = mChosen.empty() ? countRecords(mPath) : static_cast<long long>(mChosen.size());
    if (mPeople == 0)
        throw MergeError("Az adatfájlban nincs egyetlen személy (sor) sem.");
    if (mPeople * mCopiesEach > MaxCards)
        throw MergeError("Ez " + std::to_string(mPeople * mCopiesEach) + " kártya lenne; egyszerre legfeljebb "
                         + std::to_string(MaxCards) + " nyomtatható.");
}

int MergedCards::copies() const
{
    return static_cast<int>(mPeople * mCopiesEach);
}

QStringList MergedCards::unknownPlaceholders() const
{
    QStringList unknown = mFront.unknownPlaceholders(mColumns);
    if (mBack)
        for (const QString& name : mBack->unknownPlaceholders(mColumns))
            if (!unknown.contains(name, Qt::CaseInsensitive))
                unknown << name;
    return unknown;
}

const std::vector<LayerItem>& MergedCards::card(int copy, bool back)
{
    const long long person = std::clamp<long long>(copy / mCopiesEach, 0, mPeople - 1);
    const long long record = mChosen.empty() ? person : mChosen[std::size_t(person)];
    const int side = back && mBack ? 1 : 0;
    if (mFilled[side] != record) {
        readRecord(record);
        try {
            mCards[side] = (side ? *mBack : mFront).filled(mColumns, mValues);
        } catch (const QrError& error) {
            throw MergeError("A(z) " + std::to_string(record + 1) + ". személy kártyája nem készíthető el: "
                             + error.what());
        }
        mFilled[side] = record;
    }
    return mCards[side];
}

// A file that has changed since it was counted, and now ends early, gives
// its missing people empty values rather than stopping the print.
void MergedCards::readRecord(long long record)
{
    if (record == mRead)
        return;
    if (record < mRead) {
        mReader = openRecords(mPath);
        mRead = -1;
    }
    while (mRead < record) {
        if (!mReader->next(mValues))
            mValues.clear();
        ++mRead;
    }
}

std::function<const std::vector<LayerItem>&(int, bool)> MergedCards::source(std::shared_ptr<MergedCards> cards)
{
    return [cards = std::move(cards)](int copy, bool back) -> const std::vector<LayerItem>& {
        return cards->card(copy, back);
    };
}

#include "merge/MergedCards.h"

#include "merge/QrCode.h"

#include <algorithm>
#include <string>

namespace {

// Two pages' people at the least: the front page and the back page after
// it ask for the same ten.
constexpr std::size_t KeptRecords = 32;

} // namespace

// The file is read through once here, to count its people and tell its
// encoding; the cards read it a second time, starting with the reader that
// took its columns.
MergedCards::MergedCards(const QString& dataPath, MergeTemplate front, std::optional<MergeTemplate> back,
                         int copiesEach, std::vector<long long> chosen)
    : mPath(dataPath), mFront(std::move(front)), mBack(std::move(back)), mCopiesEach(std::max(1, copiesEach)),
      mChosen(std::move(chosen))
{
    const long long counted = countRecords(mPath, mFormat);
    mPeople = mChosen.empty() ? counted : static_cast<long long>(mChosen.size());
    checkPeople();
    mReader = reopenRecords(mPath, mFormat);
    mColumns = Columns(mReader->columns());
}

MergedCards::MergedCards(std::shared_ptr<const RecordList> records, MergeTemplate front,
                         std::optional<MergeTemplate> back, int copiesEach, std::vector<long long> chosen)
    : mRecords(std::move(records)), mFront(std::move(front)), mBack(std::move(back)),
      mCopiesEach(std::max(1, copiesEach)), mChosen(std::move(chosen))
{
    mColumns = Columns(mRecords->columns);
    mPeople = mChosen.empty() ? static_cast<long long>(mRecords->rows.size()) : static_cast<long long>(mChosen.size());
    checkPeople();
}

std::shared_ptr<MergedCards> MergedCards::of(const MergeSource& source, const std::vector<LayerItem>& front,
                                             const std::optional<std::vector<LayerItem>>& back)
{
    std::optional<MergeTemplate> backTemplate;
    if (back)
        backTemplate.emplace(*back);
    std::shared_ptr<MergedCards> cards =
        source.records ? std::make_shared<MergedCards>(source.records, MergeTemplate(front), std::move(backTemplate),
                                                       source.copiesEach, source.chosen)
                       : std::make_shared<MergedCards>(source.dataFile, MergeTemplate(front), std::move(backTemplate),
                                                       source.copiesEach, source.chosen);
    cards->setFit(source.fit);
    return cards;
}

void MergedCards::setFit(TextFit fit)
{
    mFront.setFit(fit);
    if (mBack)
        mBack->setFit(fit);
}

void MergedCards::checkPeople() const
{
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
        const QStringList& values = valuesOf(record);
        MergeTemplate::FitNote fit;
        try {
            mCards[side] = (side ? *mBack : mFront).filled(mColumns, values, nullptr, &fit);
        } catch (const QrError& error) {
            throw MergeError("A(z) " + std::to_string(record + 1) + ". személy kártyája nem készíthető el: "
                             + error.what());
        }
        mFilled[side] = record;
        if (fit.shrunk || fit.tooLong) {
            MergeTemplate::FitNote& kept = mFitNotes[record];
            if (!kept.shrunk)
                kept.shrunk = fit.shrunk;
            if (!kept.tooLong)
                kept.tooLong = fit.tooLong;
        }
    }
    return mCards[side];
}

// A file that has changed since it was counted, and now ends early, gives
// its missing people empty values rather than stopping the print.
const QStringList& MergedCards::valuesOf(long long record)
{
    static const QStringList none;
    if (mRecords)
        return record < static_cast<long long>(mRecords->rows.size()) ? mRecords->rows[std::size_t(record)] : none;
    for (const auto& [kept, values] : mRecent)
        if (kept == record)
            return values;
    if (!mReader || record <= mRead) {
        mReader = reopenRecords(mPath, mFormat);
        mRead = -1;
    }
    QStringList values;
    while (mRead < record) {
        if (!mReader->next(values))
            values.clear();
        ++mRead;
    }
    mRecent.emplace_back(record, std::move(values));
    if (mRecent.size() > KeptRecords)
        mRecent.pop_front();
    return mRecent.back().second;
}

#pragma once

#include "merge/DataFile.h"
#include "merge/MergeTemplate.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The cards of a merge: the card of each chosen record of a data file, so
// many copies each, in the order of the file, front and back filled with
// the record's values. The records are read as the cards are asked for,
// one at a time, so that a list of any length takes no more memory than
// one record's card.
class MergedCards
{
public:
    // chosen: the records to print, by their place in the file from 0,
    // ascending; all of them when empty. Fails with a MergeError when the
    // file cannot be read or holds no record.
    MergedCards(const QString& dataPath, MergeTemplate front, std::optional<MergeTemplate> back, int copiesEach,
                std::vector<long long> chosen = {});

    long long people() const { return mPeople; }
    int copies() const;
    bool hasBack() const { return mBack.has_value(); }
    const Columns& columns() const { return mColumns; }
    // The placeholders of the front and the back that no column answers:
    // they stay as typed.
    QStringList unknownPlaceholders() const;

    // The layers of one copy, its front or its back; asked for in order,
    // the file is read on, and from its start again only when an earlier
    // card is wanted. A person whose QR code cannot be made (too much for
    // a code) is refused with a MergeError that names them.
    const std::vector<LayerItem>& card(int copy, bool back);

    // The cards as a print job takes them.
    static std::function<const std::vector<LayerItem>&(int copy, bool back)> source(std::shared_ptr<MergedCards> cards);

    // The most cards one merge makes.
    static constexpr long long MaxCards = 10'000'000;

private:
    void readRecord(long long record);

    QString mPath;
    MergeTemplate mFront;
    std::optional<MergeTemplate> mBack;
    int mCopiesEach;
    std::vector<long long> mChosen;
    long long mPeople = 0;
    Columns mColumns;

    std::unique_ptr<RecordReader> mReader;
    long long mRead = -1;  // the record last read from mReader
    QStringList mValues;
    long long mFilled[2] = {-1, -1};  // whose front and back are in mCards
    std::vector<LayerItem> mCards[2];
};

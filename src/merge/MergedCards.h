#pragma once

#include "merge/DataFile.h"
#include "merge/MergeTemplate.h"

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The people of a merge: their data file, read as the pages are drawn, or
// the records a merge dialog read; which of them (by place from 0, all
// when empty); how many cards each (a sheet of ten unless told).
struct MergeSource
{
    QString dataFile;
    std::shared_ptr<const RecordList> records;
    std::vector<long long> chosen;
    int copiesEach = 10;
    TextFit fit = TextFit::Shrink;
};

// The cards of a merge: the card of each chosen record of a data file, so
// many copies each, in the order of the file, front and back filled with
// the record's values. A file is read as the cards are asked for, one
// record at a time, so that a list of any length takes no more memory than
// one record's card; records read already (the merge dialog's) are taken
// as they are.
class MergedCards
{
public:
    // chosen: the records to print, by their place in the file from 0,
    // ascending; all of them when empty. Fails with a MergeError when the
    // file cannot be read or holds no record.
    MergedCards(const QString& dataPath, MergeTemplate front, std::optional<MergeTemplate> back, int copiesEach,
                std::vector<long long> chosen = {});
    MergedCards(std::shared_ptr<const RecordList> records, MergeTemplate front, std::optional<MergeTemplate> back,
                int copiesEach, std::vector<long long> chosen = {});

    long long people() const { return mPeople; }
    int copies() const;
    bool hasBack() const { return mBack.has_value(); }
    const Columns& columns() const { return mColumns; }
    // The placeholders of the front and the back that no column answers:
    // they stay as typed.
    QStringList unknownPlaceholders() const;

    // Whether texts too wide for their room are made smaller; they are
    // unless told. Set before the first card is asked for.
    void setFit(TextFit fit);

    // What fitting did to the people's texts, as far as their cards were
    // made: by record (place in the file from 0), front and back together.
    using FitNotes = std::map<long long, MergeTemplate::FitNote>;
    const FitNotes& fitNotes() const { return mFitNotes; }

    // The layers of one copy, its front or its back. Asked for in order, a
    // file is read on; the people of the last page or two are kept, so
    // that a back page finds those its front page had, and only an earlier
    // card than that reads the file from its start again. A person whose
    // QR code cannot be made (too much for a code) is refused with a
    // MergeError that names them.
    const std::vector<LayerItem>& card(int copy, bool back);

    // The merge a source asks for, of the card's front and back. Fails
    // with a MergeError when the list cannot be read or holds nobody.
    static std::shared_ptr<MergedCards> of(const MergeSource& source, const std::vector<LayerItem>& front,
                                           const std::optional<std::vector<LayerItem>>& back);

    // The most cards one merge makes.
    static constexpr long long MaxCards = 10'000'000;

private:
    void checkPeople() const;
    const QStringList& valuesOf(long long record);

    QString mPath;
    std::shared_ptr<const RecordList> mRecords;  // read already; else mPath is read
    MergeTemplate mFront;
    std::optional<MergeTemplate> mBack;
    int mCopiesEach;
    std::vector<long long> mChosen;
    long long mPeople = 0;
    Columns mColumns;

    DataFormat mFormat;
    std::unique_ptr<RecordReader> mReader;
    long long mRead = -1;  // the record last read from mReader
    std::deque<std::pair<long long, QStringList>> mRecent;
    long long mFilled[2] = {-1, -1};  // whose front and back are in mCards
    std::vector<LayerItem> mCards[2];
    FitNotes mFitNotes;
};

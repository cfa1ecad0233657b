#pragma once

#include "metafile/RecordError.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

// Caps what one playing may cost, so that a hostile file ends early instead
// of holding the user's window. The limits sit far above what a real picture
// of a business card needs; those on drawing grow with each megabyte of the
// file, so that a large drawing still plays whole.
class WorkBudget
{
public:
    explicit WorkBudget(std::size_t fileBytes = 0)
        : mScale(std::max(1.0, double(fileBytes) / (1 << 20)))
    {
    }

    static constexpr std::int64_t MaxRecords = 2'000'000;
    static constexpr std::int64_t MaxPoints = 8'000'000;
    static constexpr std::int64_t MaxGlyphs = 1'000'000;
    static constexpr std::int64_t MaxHatchLines = 1'000'000;  // lines and their crossings
    static constexpr std::int64_t MaxBitmapPixels = 128'000'000;
    // Area painted, in multiples of the whole target.
    static constexpr double MaxCoverage = 3000.0;
    // Length of all edges drawn, in widths plus heights of the target: the
    // rasterizer walks every edge over every row it crosses.
    static constexpr double MaxEdgeLength = 8000.0;

    void chargeRecord() { charge(mRecords, 1, MaxRecords); }
    void chargePoints(std::int64_t count) { charge(mPoints, count, MaxPoints); }
    void chargeGlyphs(std::int64_t count) { charge(mGlyphs, count, MaxGlyphs); }
    void chargeHatchLines(std::int64_t count)
    {
        charge(mHatchLines, count, static_cast<std::int64_t>(MaxHatchLines * mScale));
    }
    void chargeBitmapPixels(std::int64_t count) { charge(mBitmapPixels, count, MaxBitmapPixels); }

    void chargeCoverage(double share)
    {
        mCoverage += share;
        if (!(mCoverage <= MaxCoverage * mScale))
            spend();
    }

    void chargeEdgeLength(double pixels, const QRectF& target)
    {
        const double across = std::abs(target.width()) + std::abs(target.height());
        mEdgeLength += across > 0 ? pixels / across : 0.0;
        if (!(mEdgeLength <= MaxEdgeLength * mScale))
            spend();
    }

    // What a playing has cost so far, and whether it was stopped for it.
    std::int64_t records() const { return mRecords; }
    std::int64_t points() const { return mPoints; }
    std::int64_t glyphs() const { return mGlyphs; }
    std::int64_t hatchLines() const { return mHatchLines; }
    std::int64_t bitmapPixels() const { return mBitmapPixels; }
    double coverage() const { return mCoverage; }
    double edgeLength() const { return mEdgeLength; }
    bool spent() const { return mSpent; }

private:
    [[noreturn]] void spend()
    {
        mSpent = true;
        throw RecordError::stop("work budget spent");
    }

    void charge(std::int64_t& used, std::int64_t amount, std::int64_t limit)
    {
        if (amount < 0 || amount > limit - used)
            spend();
        used += amount;
    }

    double mScale = 1.0;
    std::int64_t mRecords = 0;
    std::int64_t mPoints = 0;
    std::int64_t mGlyphs = 0;
    std::int64_t mHatchLines = 0;
    std::int64_t mBitmapPixels = 0;
    double mCoverage = 0.0;
    double mEdgeLength = 0.0;
    bool mSpent = false;
};

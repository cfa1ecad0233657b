#pragma once

#include "metafile/GdiCanvas.h"
#include "metafile/Metafile.h"
#include "metafile/ObjectTable.h"

#include <memory>
#include <string_view>

class ByteReader;

// Plays an enhanced metafile record by record onto a painter.
class EmfPlayer
{
public:
    // Throws MetafileError when the bytes do not start with an EMF header.
    explicit EmfPlayer(std::string_view bytes);

    const MetafileInfo& info() const { return mInfo; }
    // Plays the records onto the target; returns what the playing cost.
    WorkBudget play(QPainter& painter, const QRectF& target);

private:
    void playRecord(std::uint32_t type, const ByteReader& r);
    bool playStateRecord(std::uint32_t type, const ByteReader& r);
    bool playObjectRecord(std::uint32_t type, const ByteReader& r);
    bool playFigureRecord(std::uint32_t type, const ByteReader& r);
    bool playPathAndClipRecord(std::uint32_t type, const ByteReader& r);
    bool playTextRecord(std::uint32_t type, const ByteReader& r);
    bool playBitmapRecord(std::uint32_t type, const ByteReader& r);

    void selectObject(std::uint32_t index);
    void createPen(const ByteReader& r);
    void createExtPen(const ByteReader& r);
    void createBrush(const ByteReader& r);
    void createPatternBrush(const ByteReader& r);
    void createFont(const ByteReader& r);
    void polyPoly(std::uint32_t type, const ByteReader& r);
    void extTextOut(const ByteReader& r, bool wide);
    void smallTextOut(const ByteReader& r);
    void stretchDiBits(const ByteReader& r);
    void setDiBitsToDevice(const ByteReader& r);
    void bitBlt(std::uint32_t type, const ByteReader& r);

    std::string_view mBytes;
    MetafileInfo mInfo;
    GdiCanvas::Device mDevice;
    std::unique_ptr<GdiCanvas> mCanvas;
    ObjectTable mObjects;
};

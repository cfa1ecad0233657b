#pragma once

#include "metafile/GdiCanvas.h"
#include "metafile/Metafile.h"
#include "metafile/ObjectTable.h"

#include <memory>
#include <string_view>

class ByteReader;

// Plays a Windows metafile, with or without its placeable header, record by
// record onto a painter.
class WmfPlayer
{
public:
    // Throws MetafileError when the bytes do not start with a WMF header.
    explicit WmfPlayer(std::string_view bytes);

    const MetafileInfo& info() const { return mInfo; }
    // Plays the records onto the target; returns what the playing cost.
    WorkBudget play(QPainter& painter, const QRectF& target);

private:
    bool readWindow(QRectF* window) const;
    void measure();
    void playRecords();
    void playRecord(std::uint16_t function, const ByteReader& r);
    bool playStateRecord(std::uint16_t function, const ByteReader& r);
    bool playObjectRecord(std::uint16_t function, const ByteReader& r);
    bool playFigureRecord(std::uint16_t function, const ByteReader& r);
    bool playClipRecord(std::uint16_t function, const ByteReader& r);
    bool playTextRecord(std::uint16_t function, const ByteReader& r);
    bool playBitmapRecord(std::uint16_t function, const ByteReader& r);

    void place(GdiObject object);
    void selectObject(std::uint16_t index);
    void createPen(const ByteReader& r);
    void createBrush(const ByteReader& r);
    void createFont(const ByteReader& r);
    void createRegion(const ByteReader& r);
    void readRegion(const ByteReader& r, GdiRegion& region);
    void createPatternBrush(const ByteReader& r);
    const GdiRegion* region(std::uint16_t index) const;
    void polyPolygon(const ByteReader& r);
    void textOut(const ByteReader& r);
    void extTextOut(const ByteReader& r);
    void dibBlt(std::uint16_t function, const ByteReader& r);
    void stretchDib(const ByteReader& r);
    void setDibToDevice(const ByteReader& r);

    std::string_view mBytes;
    std::size_t mFirstRecord = 0;
    MetafileInfo mInfo;
    GdiCanvas::Device mDevice;
    std::unique_ptr<GdiCanvas> mCanvas;
    ObjectTable mObjects;
};

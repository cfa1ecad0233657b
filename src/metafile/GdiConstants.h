#pragma once

#include <cstdint>

// Values that both metafile formats share with the drawing calls they record.
namespace gdi {

constexpr int MapText = 1;
constexpr int MapLoMetric = 2;
constexpr int MapHiMetric = 3;
constexpr int MapLoEnglish = 4;
constexpr int MapHiEnglish = 5;
constexpr int MapTwips = 6;
constexpr int MapIsotropic = 7;
constexpr int MapAnisotropic = 8;

constexpr int BkTransparent = 1;
constexpr int BkOpaque = 2;

constexpr int FillAlternate = 1;
constexpr int FillWinding = 2;

constexpr std::uint32_t AlignUpdateCp = 0x0001;
constexpr std::uint32_t AlignRight = 0x0002;
constexpr std::uint32_t AlignCenter = 0x0006;
constexpr std::uint32_t AlignBottom = 0x0008;
constexpr std::uint32_t AlignBaseline = 0x0018;

constexpr std::uint32_t TextOpaque = 0x0002;
constexpr std::uint32_t TextClipped = 0x0004;
constexpr std::uint32_t TextGlyphIndex = 0x0010;
constexpr std::uint32_t TextPdy = 0x2000;

constexpr int PenSolid = 0;
constexpr int PenDash = 1;
constexpr int PenDot = 2;
constexpr int PenDashDot = 3;
constexpr int PenDashDotDot = 4;
constexpr int PenNull = 5;
constexpr int PenInsideFrame = 6;
constexpr int PenUserStyle = 7;
constexpr int PenAlternate = 8;
constexpr std::uint32_t PenStyleMask = 0x0000000F;
constexpr std::uint32_t PenEndCapMask = 0x00000F00;
constexpr std::uint32_t PenEndCapSquare = 0x00000100;
constexpr std::uint32_t PenEndCapFlat = 0x00000200;
constexpr std::uint32_t PenJoinMask = 0x0000F000;
constexpr std::uint32_t PenJoinBevel = 0x00001000;
constexpr std::uint32_t PenJoinMiter = 0x00002000;
constexpr std::uint32_t PenGeometric = 0x00010000;

constexpr int BrushSolid = 0;
constexpr int BrushNull = 1;
constexpr int BrushHatched = 2;
constexpr int BrushPattern = 3;
constexpr int BrushDibPattern = 5;
constexpr int BrushDibPatternPt = 6;

constexpr int HatchHorizontal = 0;
constexpr int HatchVertical = 1;
constexpr int HatchForwardDiagonal = 2;
constexpr int HatchBackwardDiagonal = 3;
constexpr int HatchCross = 4;
constexpr int HatchDiagonalCross = 5;

constexpr int RegionAnd = 1;
constexpr int RegionOr = 2;
constexpr int RegionXor = 3;
constexpr int RegionDiff = 4;
constexpr int RegionCopy = 5;

constexpr int ArcCounterClockwise = 1;
constexpr int ArcClockwise = 2;

// The ternary raster operations that draw without a source bitmap.
constexpr int RopBlackness = 0x00;
constexpr int RopDestination = 0xAA;
constexpr int RopPatCopy = 0xF0;
constexpr int RopWhiteness = 0xFF;

constexpr int CharsetAnsi = 0;
constexpr int CharsetDefault = 1;
constexpr int CharsetSymbol = 2;
constexpr int CharsetEastEurope = 238;

} // namespace gdi

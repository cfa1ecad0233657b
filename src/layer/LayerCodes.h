#pragma once

#include <cstdint>

// The layer codes as stored in card files. The numbering is the file's own
// and does not follow any toolkit's enumeration.

enum class LayerKind : std::int32_t { Text = 0, Picture = 1, Shape = 2 };

enum class TextAlignment : std::int32_t { Left = 0, Center = 1, Right = 2 };

enum class FillPattern : std::int32_t {
    Solid = 0,
    ForwardDiagonal = 1,   // lines running down from left to right
    BackwardDiagonal = 2,  // lines running up from left to right
    Cross = 3,
    DiagonalCross = 4,
    Horizontal = 5,
    Vertical = 6
};

enum class ShapeKind : std::int32_t { Rectangle = 0, Ellipse = 1 };

// Dash-dot comes before dash here, unlike most pen enumerations.
enum class OutlinePattern : std::int32_t { Solid = 0, Dot = 1, DashDot = 2, Dash = 3, DashDotDot = 4 };

// Colours are stored with red in the low byte, then green, then blue.
constexpr std::int32_t WhiteColor = 16777215;

// Codes outside a table fall back to its first entry, as the surface and the
// print draw them.
inline TextAlignment alignmentFromCode(std::int32_t code)
{
    return code >= 0 && code <= 2 ? static_cast<TextAlignment>(code) : TextAlignment::Left;
}

inline FillPattern fillFromCode(std::int32_t code)
{
    return code >= 0 && code <= 6 ? static_cast<FillPattern>(code) : FillPattern::Solid;
}

inline ShapeKind shapeFromCode(std::int32_t code)
{
    return code == 1 ? ShapeKind::Ellipse : ShapeKind::Rectangle;
}

inline OutlinePattern outlineFromCode(std::int32_t code)
{
    return code >= 0 && code <= 4 ? static_cast<OutlinePattern>(code) : OutlinePattern::Solid;
}

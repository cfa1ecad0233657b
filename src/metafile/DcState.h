#pragma once

#include "metafile/DeviceClip.h"
#include "metafile/GdiConstants.h"
#include "metafile/GdiObjects.h"

#include <QPointF>
#include <QSizeF>
#include <QTransform>

#include <cstdint>
#include <memory>

// Everything SaveDC keeps and RestoreDC brings back.
struct DcState
{
    int mapMode = gdi::MapText;
    QPointF windowOrg;
    QSizeF windowExt{1.0, 1.0};
    QPointF viewportOrg;
    QSizeF viewportExt{1.0, 1.0};
    QTransform world;

    GdiPen pen;
    GdiBrush brush;
    std::shared_ptr<const GdiFont> font;

    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool opaqueBackground = true;
    bool winding = false;
    std::uint32_t textAlign = 0;
    bool clockwise = false;
    double miterLimit = 10.0;

    QPointF position;        // logical units
    DeviceClip clip;
};

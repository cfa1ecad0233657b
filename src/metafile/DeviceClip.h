#pragma once

#include <QPainterPath>
#include <QRegion>

// The clip region of the device context, in device units. Rectangles, the
// usual case, stay a QRegion of whole device units as the device context
// keeps them; a clip path or a turned rectangle becomes a path.
struct DeviceClip
{
    bool active = false;
    bool isRegion = false;
    QRegion region;
    QPainterPath path;

    QPainterPath asPath() const
    {
        if (!isRegion)
            return path;
        QPainterPath p;
        p.addRegion(region);
        return p;
    }

    static DeviceClip fromRegion(const QRegion& r)
    {
        DeviceClip clip;
        clip.active = true;
        clip.isRegion = true;
        clip.region = r;
        return clip;
    }

    static DeviceClip fromPath(const QPainterPath& p)
    {
        DeviceClip clip;
        clip.active = true;
        clip.path = p;
        return clip;
    }
};

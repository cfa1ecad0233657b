#pragma once

#include <QPainterPath>
#include <QRectF>

// The clip region of the device context, in device units. Most pictures
// only ever clip to one rectangle, which stays a rectangle here so that the
// painter can take its fast path.
struct DeviceClip
{
    bool active = false;
    bool isRect = false;
    QRectF rect;
    QPainterPath path;

    QPainterPath asPath() const
    {
        if (!isRect)
            return path;
        QPainterPath p;
        p.addRect(rect);
        return p;
    }

    static DeviceClip fromRect(const QRectF& r)
    {
        DeviceClip clip;
        clip.active = true;
        clip.isRect = true;
        clip.rect = r.normalized();
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

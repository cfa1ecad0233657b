#pragma once

#include "layer/LayerItem.h"
#include "merge/QrCode.h"

// Layers of a card to merge, made straight as the print reads them.

inline LayerItem textLayer(const QString& text, int top = 10)
{
    LayerItem item;
    item.kind = LayerKind::Text;
    item.text.text = text;
    item.text.points = 10;
    item.text.font = layerFont(QStringLiteral("DejaVu Sans"), 10, false, false, false);
    item.box = QRect(QPoint(10, top), textExtent(item.text));
    return item;
}

inline LayerItem qrLayer(const QrContents& contents, QRect box = QRect(220, 40, 110, 110))
{
    LayerItem item;
    item.kind = LayerKind::Picture;
    item.box = box;
    item.qr = QrPicture{contentsText(contents),
                        std::make_shared<QrMatrix>(encodeQr(qrPayload(contents), contents.level))};
    return item;
}

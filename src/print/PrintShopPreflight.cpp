#include "print/PrintShop.h"

#include "print/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace printshop {

namespace {

constexpr double MillimetresPerInch = 25.4;

using Problem = std::optional<QString>;

// Short of a limit by more than the arithmetic's own error.
bool below(double value, double limit)
{
    return value < limit - 1e-9;
}

// A number as the user reads it: a decimal comma and at most two decimals,
// cut rather than rounded, so that a value short of a limit never reads as
// the limit itself.
QString shown(double value)
{
    QString text = QString::number(std::floor(value * 100 + 1e-6) / 100, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text.replace(u'.', u',');
}

// A picture of pixels over its printed size. Stretched, it fills its box;
// at its own size, each of its pixels is a card pixel, which no photo is
// sharp enough for on paper.
Problem pictureResolution(const LayerItem& layer, const Geometry& page)
{
    if (layer.kind != LayerKind::Picture || layer.qr || layer.picture.isNull() || layer.picture.isVector())
        return {};
    const QSizeF pixels = layer.pictureSource.isEmpty() ? layer.picture.size() : layer.pictureSource;
    const QSizeF printed = (layer.stretch ? QSizeF(layer.box.size()) : pixels) * page.mmPerPixel;
    if (printed.isEmpty())
        return {};
    const double ppi =
        std::min(pixels.width() / printed.width(), pixels.height() / printed.height()) * MillimetresPerInch;
    if (!below(ppi, MinPictureDpi))
        return {};
    return QStringLiteral("a kép felbontása nyomtatott méretén %1 ppi; legalább %2 ppi kell")
        .arg(QString::number(std::floor(ppi + 1e-9)), QString::number(MinPictureDpi));
}

// The card prints a hair larger than at 96 pixels per inch (90 mm for its
// 89.96), so a text prints at practically the size it is set to; the font
// takes the size's magnitude.
Problem textSize(const LayerItem& layer, const Geometry& page)
{
    if (layer.kind != LayerKind::Text)
        return {};
    const double points = std::abs(layer.text.points) * page.mmPerPixel / sheet::MillimetresPerPixel;
    if (!below(points, MinTextPoints))
        return {};
    return QStringLiteral("a betűméret nyomtatva %1 pt; legalább %2 pt kell")
        .arg(shown(points), shown(MinTextPoints));
}

// A shape's outline is never thinner than a card pixel (paintShape draws a
// width of 0 or less so), which prints at 0.75 pt: only a card printed
// smaller than it is would fall short.
Problem outlineWidth(const LayerItem& layer, const Geometry& page)
{
    if (layer.kind != LayerKind::Shape)
        return {};
    const double points = std::max(1, layer.shape.outlineWidth) * page.mmPerPixel / sheet::MillimetresPerPoint;
    if (!below(points, MinLinePoints))
        return {};
    return QStringLiteral("a körvonal %1 pt vastag; legalább %2 pt kell").arg(shown(points), shown(MinLinePoints));
}

// Text and pictures near the trim may be cut into where the shop's cut
// strays. An edge of the layer that reaches the card's edge is meant to
// run off the card and is left alone. A QR code counts by its square.
Problem safeZone(const LayerItem& layer, const Geometry& page)
{
    if (layer.kind == LayerKind::Shape)
        return {};
    const QRectF box = layer.qr ? qrSquare(QRectF(layer.box)) : QRectF(layer.box);
    const QRectF onPage(page.cardOrigin + box.topLeft() * page.mmPerPixel, box.size() * page.mmPerPixel);
    double nearest = std::numeric_limits<double>::infinity();
    if (box.left() > Card.left())
        nearest = std::min(nearest, onPage.left() - page.trim.left());
    if (box.top() > Card.top())
        nearest = std::min(nearest, onPage.top() - page.trim.top());
    if (box.right() < Card.right())
        nearest = std::min(nearest, page.trim.right() - onPage.right());
    if (box.bottom() < Card.bottom())
        nearest = std::min(nearest, page.trim.bottom() - onPage.bottom());
    if (!below(nearest, SafeZone))
        return {};
    return QStringLiteral("csak %1 mm-re van a vágási vonaltól; legalább %2 mm kell")
        .arg(shown(std::max(0.0, nearest)), shown(SafeZone));
}

// The code is drawn as a square in its box, quiet zone included.
Problem qrModule(const LayerItem& layer, const Geometry& page)
{
    if (!layer.qr || !layer.qr->modules || layer.qr->modules->size <= 0)
        return {};
    const int cells = layer.qr->modules->size + 2 * QrQuietZone;
    const double module = qrSquare(QRectF(layer.box)).width() / cells * page.mmPerPixel;
    if (!below(module, MinQrModule))
        return {};
    return QStringLiteral("a QR-kód egy modulja %1 mm; legalább %2 mm kell").arg(shown(module), shown(MinQrModule));
}

// Whether anything of a layer reaches the paper: a layer wholly outside
// the bleed box, of no size, an empty text or a missing picture is not
// checked.
bool printed(const LayerItem& layer, const QRectF& bleed)
{
    if (!QRectF(layer.box).intersects(bleed))
        return false;
    switch (layer.kind) {
    case LayerKind::Text: return !layer.text.text.isEmpty();
    case LayerKind::Picture: return layer.qr || !layer.picture.isNull();
    case LayerKind::Shape: return true;
    }
    return false;
}

} // namespace

std::vector<Finding> preflight(const std::vector<LayerItem>& layers, const Options& options)
{
    const Geometry page = geometry(options);
    const QRectF bleed = bleedInCard(options);
    const std::vector<int> flattened = flattenedLayers(layers);
    std::vector<Finding> findings;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const LayerItem& layer = layers[i];
        if (!printed(layer, bleed))
            continue;
        for (const auto check : {pictureResolution, textSize, outlineWidth, safeZone, qrModule})
            if (const Problem problem = check(layer, page))
                findings.push_back({int(i), *problem});
        if (std::ranges::find(flattened, int(i)) != flattened.end())
            findings.push_back({int(i), QStringLiteral("átlátszó részei vannak: %1 ppi-s képként kerül a PDF-be")
                                            .arg(QString::number(FlattenDpi))});
    }
    return findings;
}

// A layer without a name is called by its place among the printables.
QString describe(const Finding& finding, const std::vector<QString>& names)
{
    if (finding.layer < 0)
        return finding.problem;
    const std::size_t at = std::size_t(finding.layer);
    const QString name = at < names.size() ? names[at] : QString();
    if (name.trimmed().isEmpty())
        return QStringLiteral("%1. réteg: %2").arg(QString::number(finding.layer + 1), finding.problem);
    return QStringLiteral("„%1”: %2").arg(name, finding.problem);
}

} // namespace printshop

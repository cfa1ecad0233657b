#include "merge/MergeTemplate.h"

#include "merge/QrCode.h"

namespace {

QStringList qrPlaceholders(const QrContents& contents)
{
    if (!contents.isContact)
        return placeholdersIn(contents.text);
    QStringList names;
    for (const QString& field : contents.contact.fields)
        names << placeholdersIn(field);
    return names;
}

} // namespace

MergeTemplate::MergeTemplate(std::vector<LayerItem> layers)
    : mLayers(std::move(layers))
{
}

QStringList MergeTemplate::placeholders() const
{
    QStringList names;
    auto add = [&](const QStringList& found) {
        for (const QString& name : found)
            if (!names.contains(name, Qt::CaseInsensitive))
                names << name;
    };
    for (const LayerItem& layer : mLayers) {
        if (layer.kind == LayerKind::Text)
            add(placeholdersIn(layer.text.text));
        else if (layer.qr)
            add(qrPlaceholders(contentsFromText(layer.qr->contents)));
    }
    return names;
}

QStringList MergeTemplate::unknownPlaceholders(const Columns& columns) const
{
    QStringList unknown;
    for (const QString& name : placeholders())
        if (columns.indexOf(name) < 0)
            unknown << name;
    return unknown;
}

std::vector<LayerItem> MergeTemplate::filled(const Columns& columns, const QStringList& values,
                                             QSet<QString>* unknown, FitNote* fit) const
{
    std::vector<LayerItem> layers = mLayers;
    for (LayerItem& layer : layers) {
        if (layer.kind == LayerKind::Text && layer.text.text.contains(u'{')) {
            layer.text.text = fillPlaceholders(layer.text.text, columns, values, unknown);
            const int designed = layer.text.points;
            const FittedText placed = fitText(layer.text, layer.box, mFit);
            layer.box = placed.box;
            if (fit && placed.outcome != FitOutcome::Fits) {
                auto& note = placed.outcome == FitOutcome::Shrunk ? fit->shrunk : fit->tooLong;
                if (!note)
                    note = FitNote::Text{layer.text.text, designed, layer.text.points};
            }
        } else if (layer.qr && layer.qr->contents.contains('{')) {
            QrContents contents = contentsFromText(layer.qr->contents);
            if (contents.isContact) {
                for (QString& field : contents.contact.fields)
                    field = fillPlaceholders(field, columns, values, unknown);
            } else {
                contents.text = fillPlaceholders(contents.text, columns, values, unknown);
            }
            // A person with nothing for the code gets none; one with too
            // much for a code is refused (QrError).
            const QByteArray payload = qrPayload(contents);
            layer.qr->modules =
                std::make_shared<QrMatrix>(payload.isEmpty() ? QrMatrix() : encodeQr(payload, contents.level));
            layer.qr->contents = contentsText(contents);
        }
    }
    return layers;
}

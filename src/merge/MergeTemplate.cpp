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

namespace {

// A text layer filled with the record's values, placed and fitted; what
// fitting did goes to fit.
void fillText(LayerItem& layer, const Columns& columns, const QStringList& values, QSet<QString>* unknown, TextFit mode,
              MergeTemplate::FitNote* fit)
{
    layer.text.text = fillPlaceholders(layer.text.text, columns, values, unknown);
    const int designed = layer.text.points;
    const FittedText placed = fitText(layer.text, layer.box, mode);
    layer.box = placed.box;
    if (fit && placed.outcome != FitOutcome::Fits) {
        auto& note = placed.outcome == FitOutcome::Shrunk ? fit->shrunk : fit->tooLong;
        if (!note)
            note = MergeTemplate::FitNote::Text{layer.text.text, designed, layer.text.points};
    }
}

bool hasPlaceholders(const LayerItem& layer)
{
    return layer.kind == LayerKind::Text && layer.text.text.contains(u'{');
}

} // namespace

MergeTemplate::FitNote MergeTemplate::fitOf(const Columns& columns, const QStringList& values) const
{
    FitNote fit;
    for (const LayerItem& layer : mLayers) {
        if (hasPlaceholders(layer)) {
            LayerItem text = layer;
            fillText(text, columns, values, nullptr, mFit, &fit);
        }
    }
    return fit;
}

std::vector<LayerItem> MergeTemplate::filled(const Columns& columns, const QStringList& values,
                                             QSet<QString>* unknown, FitNote* fit) const
{
    std::vector<LayerItem> layers = mLayers;
    for (LayerItem& layer : layers) {
        if (hasPlaceholders(layer)) {
            fillText(layer, columns, values, unknown, mFit, fit);
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

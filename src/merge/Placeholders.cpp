#include "merge/Placeholders.h"

#include <QRegularExpression>

namespace {

const QRegularExpression& placeholder()
{
    static const QRegularExpression pattern(QStringLiteral("\\{([^{}\\r\\n]+)\\}"));
    return pattern;
}

QString folded(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

} // namespace

Columns::Columns(QStringList names)
    : mNames(std::move(names))
{
    for (int i = 0; i < mNames.size(); ++i)
        if (!mIndex.contains(folded(mNames[i])))
            mIndex.insert(folded(mNames[i]), i);
}

int Columns::indexOf(const QString& name) const
{
    return mIndex.value(folded(name), -1);
}

QStringList placeholdersIn(const QString& text)
{
    QStringList names;
    for (auto match = placeholder().globalMatch(text); match.hasNext();)
        names << match.next().captured(1);
    return names;
}

QString fillPlaceholders(const QString& text, const Columns& columns, const QStringList& values,
                         QSet<QString>* unknown)
{
    if (!text.contains(u'{'))
        return text;
    QString filled;
    qsizetype done = 0;
    for (auto match = placeholder().globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const int column = columns.indexOf(found.captured(1));
        if (column < 0) {
            if (unknown)
                unknown->insert(found.captured(1));
            continue;
        }
        filled += QStringView(text).mid(done, found.capturedStart() - done);
        filled += column < values.size() ? values[column] : QString();
        done = found.capturedEnd();
    }
    filled += QStringView(text).mid(done);
    return filled;
}

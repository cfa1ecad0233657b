#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <QHash>

// The columns of a data file by their headers, found without regard to
// letter case.
class Columns
{
public:
    Columns() = default;
    explicit Columns(QStringList names);

    const QStringList& names() const { return mNames; }
    int indexOf(const QString& name) const;  // -1 when no column has it

private:
    QStringList mNames;
    QHash<QString, int> mIndex;
};

// The placeholders a text holds: {Name} for the column headed Name.
QStringList placeholdersIn(const QString& text);

// The text with each placeholder a column answers replaced by the record's
// value (empty where the row has none); a placeholder no column answers
// stays as typed, and its name is added to unknown.
QString fillPlaceholders(const QString& text, const Columns& columns, const QStringList& values,
                         QSet<QString>* unknown = nullptr);

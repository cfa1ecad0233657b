#include "print/SavedSheets.h"

#include <cmath>
#include <limits>

namespace {

const QString SectionPrefix = QStringLiteral("Sheet:");
constexpr int Hundredths = 100;
constexpr int Missing = std::numeric_limits<int>::min();

QString& fileName()
{
    static QString name;
    return name;
}

[[noreturn]] void broken(const QString& name, const QString& why)
{
    throw SheetError(QStringLiteral("hibás saját lap a beállítások között, [%1]: %2")
                         .arg(sheetSection(name), why)
                         .toStdString());
}

int wholeKey(const IniFile& ini, const QString& name, const QString& key)
{
    const int value = ini.readInteger(sheetSection(name), key, Missing);
    if (value == Missing)
        broken(name, QStringLiteral("a(z) %1 kulcs hiányzik, vagy nem egész szám").arg(key));
    return value;
}

double mmKey(const IniFile& ini, const QString& name, const QString& key)
{
    return double(wholeKey(ini, name, key)) / Hundredths;
}

int hundredths(double mm)
{
    return int(std::lround(mm * Hundredths));
}

} // namespace

QString sheetSection(const QString& name)
{
    return SectionPrefix + name;
}

QStringList savedSheetNames(const IniFile& ini)
{
    QStringList names;
    for (const QString& section : ini.sections()) {
        // One under a built-in's name, edited in by hand, is never used.
        const QString name = section.mid(SectionPrefix.size());
        if (section.startsWith(SectionPrefix, Qt::CaseInsensitive) && !name.isEmpty() && !isBuiltInSheet(name))
            names << name;
    }
    return names;
}

SheetLayout savedSheet(const IniFile& ini, const QString& name)
{
    const QString section = sheetSection(name);
    if (!ini.sections().contains(section, Qt::CaseInsensitive))
        throw SheetError(QStringLiteral("nincs ilyen lap: %1 (a lapokat a lapora-cli sheets sorolja fel)")
                             .arg(name)
                             .toStdString());
    SheetLayout layout;
    layout.name = name;
    const QString paper = ini.readString(section, QStringLiteral("Paper"), QString()).trimmed();
    if (paper.compare(QStringLiteral("A4"), Qt::CaseInsensitive) == 0)
        layout.paper = sheet::PaperSize::A4;
    else if (paper.compare(QStringLiteral("Letter"), Qt::CaseInsensitive) == 0)
        layout.paper = sheet::PaperSize::Letter;
    else
        broken(name, QStringLiteral("a Paper értéke A4 vagy Letter lehet, nem „%1”").arg(paper));
    layout.columns = wholeKey(ini, name, QStringLiteral("Columns"));
    layout.rows = wholeKey(ini, name, QStringLiteral("Rows"));
    layout.first = {mmKey(ini, name, QStringLiteral("Left")), mmKey(ini, name, QStringLiteral("Top"))};
    layout.pitch = {mmKey(ini, name, QStringLiteral("DX")), mmKey(ini, name, QStringLiteral("DY"))};
    // A stock card left out is as large as the pitch.
    const bool sized = !ini.readString(section, QStringLiteral("W"), QString()).trimmed().isEmpty()
        || !ini.readString(section, QStringLiteral("H"), QString()).trimmed().isEmpty();
    layout.card = sized ? QSizeF(mmKey(ini, name, QStringLiteral("W")), mmKey(ini, name, QStringLiteral("H")))
                        : QSizeF(layout.pitch.x(), layout.pitch.y());
    layout.marks = ini.readBool(section, QStringLiteral("Marks"), false);
    if (const std::optional<QString> fault = sheetFault(layout))
        broken(name, *fault);
    return layout;
}

std::vector<SheetLayout> savedSheets(const IniFile& ini)
{
    std::vector<SheetLayout> layouts;
    for (const QString& name : savedSheetNames(ini)) {
        try {
            layouts.push_back(savedSheet(ini, name));
        } catch (const SheetError&) {
            // Left for the user to mend in the file; lapora-cli names it.
        }
    }
    return layouts;
}

SheetLayout sheetNamed(const QString& name, const IniFile& ini)
{
    if (isBuiltInSheet(name))
        return sheetNamed(name);
    for (const QString& saved : savedSheetNames(ini)) {
        if (saved.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return savedSheet(ini, saved);
    }
    return sheetNamed(name);
}

bool isBuiltInSheet(const QString& name)
{
    for (const SheetLayout& layout : builtInSheets()) {
        if (layout.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void saveSheet(const IniFile& ini, const SheetLayout& layout)
{
    // As it will read back: the name without its blanks, the sizes in
    // hundredths.
    SheetLayout stored = layout;
    stored.name = layout.name.trimmed();
    auto round = [](double mm) { return double(hundredths(mm)) / Hundredths; };
    stored.first = {round(layout.first.x()), round(layout.first.y())};
    stored.pitch = {round(layout.pitch.x()), round(layout.pitch.y())};
    stored.card = {round(layout.card.width()), round(layout.card.height())};
    if (stored.name.isEmpty())
        throw SheetError("Adjon nevet a saját lapnak.");
    if (stored.name.contains(u'[') || stored.name.contains(u']'))
        throw SheetError("A saját lap neve nem tartalmazhat szögletes zárójelet.");
    if (isBuiltInSheet(stored.name))
        throw SheetError(QStringLiteral("A(z) „%1” név egy beépített lapé; adjon más nevet a saját lapnak.")
                             .arg(stored.name)
                             .toStdString());
    checkSheet(stored);
    const QString section = sheetSection(stored.name);
    ini.writeString(section, QStringLiteral("Paper"), paperName(stored.paper));
    ini.writeInteger(section, QStringLiteral("Columns"), stored.columns);
    ini.writeInteger(section, QStringLiteral("Rows"), stored.rows);
    ini.writeInteger(section, QStringLiteral("Left"), hundredths(stored.first.x()));
    ini.writeInteger(section, QStringLiteral("Top"), hundredths(stored.first.y()));
    ini.writeInteger(section, QStringLiteral("DX"), hundredths(stored.pitch.x()));
    ini.writeInteger(section, QStringLiteral("DY"), hundredths(stored.pitch.y()));
    ini.writeInteger(section, QStringLiteral("W"), hundredths(stored.card.width()));
    ini.writeInteger(section, QStringLiteral("H"), hundredths(stored.card.height()));
    ini.writeBool(section, QStringLiteral("Marks"), stored.marks);
}

void removeSavedSheet(const IniFile& ini, const QString& name)
{
    ini.removeSection(sheetSection(name));
}

void setSavedSheetsFile(const QString& name)
{
    fileName() = name;
}

const QString& savedSheetsFile()
{
    return fileName();
}

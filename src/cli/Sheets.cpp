#include "cli/Sheets.h"

#include "print/SavedSheets.h"
#include "print/SettingsFile.h"

#include <QCoreApplication>

#include <cctype>
#include <charconv>
#include <cmath>
#include <iostream>
#include <type_traits>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

template <class Number>
std::optional<Number> numberOf(const std::string& text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

std::optional<sheet::PaperSize> paperOf(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (text == "a4")
        return sheet::PaperSize::A4;
    if (text == "letter")
        return sheet::PaperSize::Letter;
    return std::nullopt;
}

// COLSxROWS,LEFT,TOP,DX,DY[,W,H][,a4|letter]
SheetLayout layoutOf(const std::string& text)
{
    const SheetError wrongShape("a --layout értéke OSZLOPxSOR,BAL,FELSŐ,DX,DY[,SZÉLES,MAGAS][,a4|letter] alakú, "
                                "milliméterben (például 2x5,15,13.5,95,54,85,54), nem "
                                + text);
    std::vector<std::string> parts = split(text, ',');
    SheetLayout layout;
    layout.name = QStringLiteral("Egyéni lap");
    if ((parts.size() == 6 || parts.size() == 8) && !parts.back().empty() && !numberOf<double>(parts.back())) {
        const auto paper = paperOf(parts.back());
        if (!paper)
            throw SheetError("ismeretlen papír: " + parts.back() + " (a4 vagy letter lehet)");
        layout.paper = *paper;
        parts.pop_back();
    }
    if (parts.size() != 5 && parts.size() != 7)
        throw wrongShape;
    const std::vector<std::string> grid = split(parts[0], parts[0].find('X') != std::string::npos ? 'X' : 'x');
    std::vector<double> mm;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto value = numberOf<double>(parts[i]);
        if (!value)
            throw wrongShape;
        mm.push_back(*value);
    }
    const auto columns = grid.size() == 2 ? numberOf<int>(grid[0]) : std::nullopt;
    const auto rows = grid.size() == 2 ? numberOf<int>(grid[1]) : std::nullopt;
    if (!columns || !rows)
        throw wrongShape;
    layout.columns = *columns;
    layout.rows = *rows;
    layout.first = {mm[0], mm[1]};
    layout.pitch = {mm[2], mm[3]};
    layout.card = mm.size() == 6 ? QSizeF(mm[4], mm[5]) : QSizeF(mm[2], mm[3]);
    return layout;
}

// Millimetres as a person writes them: 90, 88.9, 89.96.
QString mm(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace

SheetLayout sheetOf(const SheetOptions& options)
{
    if (options.name && options.layout)
        throw SheetError("a --sheet és a --layout közül csak az egyik adható meg");
    SheetLayout layout;
    if (options.name)
        layout = sheetNamed(QString::fromLocal8Bit(options.name->c_str()), IniFile(settingsFileName()));
    else if (options.layout)
        layout = layoutOf(*options.layout);
    if (options.marks) {
        if (*options.marks != "on" && *options.marks != "off")
            throw SheetError("a --marks értéke on vagy off lehet, nem " + *options.marks);
        layout.marks = *options.marks == "on";
    }
    checkSheet(layout);
    return layout;
}

// The built-in layouts, then those saved in the designer's settings; a
// saved one that is broken stops the list before anything is printed.
int runSheets(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<SheetLayout> layouts = builtInSheets();
    try {
        const IniFile settings(settingsFileName());
        for (const QString& name : savedSheetNames(settings))
            layouts.push_back(savedSheet(settings, name));
    } catch (const SheetError& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    }
    for (const SheetLayout& layout : layouts)
        std::cout << QStringLiteral("%1\t%2\t%3x%4\t%5 x %6 mm\n")
                         .arg(layout.name, paperName(layout.paper))
                         .arg(layout.columns)
                         .arg(layout.rows)
                         .arg(mm(layout.card.width()), mm(layout.card.height()))
                         .toStdString();
    return 0;
}

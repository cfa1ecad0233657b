#include "layer/Fonts.h"

#include "layer/Win1250Text.h"

#include <QFont>
#include <QFontDatabase>

#include <algorithm>

namespace {

const char* const BundledFiles[] = {"tahoma.ttf", "tahomabd.ttf", "wingding.ttf"};

const QString BundledFontDir = QStringLiteral("/usr/share/wine/fonts");

// The family name without a foundry suffix: "C059 [urw]" gives "C059".
QString familyWithoutFoundry(const QString& family)
{
    const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
    if (open > 0 && family.endsWith(QLatin1Char(']')))
        return family.left(open);
    return family;
}

} // namespace

QStringList registerBundledFonts()
{
    static QStringList failed;
    static bool done = false;
    if (done)
        return failed;
    done = true;
    for (const char* file : BundledFiles) {
        const QString path = BundledFontDir + '/' + QLatin1String(file);
        if (QFontDatabase::addApplicationFont(path) < 0)
            failed << path;
    }
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), MsSansSerifStandIn);
    return failed;
}

QStringList installedFontFamilies()
{
    static const QStringList families = [] {
        QStringList names;
        for (const QString& family : QFontDatabase::families()) {
            const QString name = familyWithoutFoundry(family);
            if (fitsWin1250(name))
                names << name;
        }
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        // Equal names are neighbours now, also when they differ in case only.
        names.erase(std::unique(names.begin(), names.end(),
                                [](const QString& a, const QString& b) {
                                    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
                                }),
                    names.end());
        return names;
    }();
    return families;
}

#include "layer/Win1250Text.h"

#include "storage/TableError.h"
#include "storage/Win1250.h"

QString fromWin1250(const std::string& bytes)
{
    return QString::fromStdString(win1250ToUtf8(bytes));
}

std::string toWin1250(const QString& text)
{
    Win1250Result converted = utf8ToWin1250(text.toStdString());
    if (!converted.ok()) {
        const QString shown = text.size() > 80 ? text.left(80) + QChar(0x2026) : text;
        throw TableError("A(z) \u201E" + shown.toStdString()
                         + "\u201D sz\u00F6veg nem t\u00E1rolhat\u00F3: olyan bet\u0171t tartalmaz, amely a "
                           "k\u00F6z\u00E9p-eur\u00F3pai (Windows-1250) k\u00F3dlapon nincs");
    }
    return std::move(converted.bytes);
}

bool fitsWin1250(const QString& text)
{
    return utf8ToWin1250(text.toStdString()).ok();
}

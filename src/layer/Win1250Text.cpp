#include "layer/Win1250Text.h"

#include "storage/Win1250.h"

QString fromWin1250(const std::string& bytes)
{
    return QString::fromStdString(win1250ToUtf8(bytes));
}

std::string toWin1250(const QString& text)
{
    return utf8ToWin1250(text.toStdString()).bytes;
}

bool fitsWin1250(const QString& text)
{
    return utf8ToWin1250(text.toStdString()).ok();
}

#include "app/Settings.h"

#include "print/IniFile.h"
#include "print/PrintShop.h"
#include "print/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cmath>
#include <limits>

QString ProgramDir;
QString DataDir;
QString IniFileName;
WorkAreaRect WorkArea;
TBeall Beall;

namespace {

// The remembered answer to "Kép kicsinyítése" as the file keeps it; any
// other value asks.
constexpr int AskLargePictures = 0;
constexpr int ReduceLargePictures = 1;
constexpr int KeepLargePictures = 2;

LargePictures largePicturesFrom(int code)
{
    switch (code) {
    case ReduceLargePictures: return LargePictures::Reduce;
    case KeepLargePictures: return LargePictures::Keep;
    default: return LargePictures::Ask;
    }
}

int codeOf(LargePictures answer)
{
    switch (answer) {
    case LargePictures::Reduce: return ReduceLargePictures;
    case LargePictures::Keep: return KeepLargePictures;
    default: return AskLargePictures;
    }
}

constexpr int DefaultFormLeft = 10;
constexpr int DefaultFormTop = 10;

// Without a screen there is nothing to fit into, so nothing is moved.
WorkAreaRect systemWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    const QRect area = screen->availableGeometry();
    return {area.x() + area.width(), area.y() + area.height()};
}

QString withoutTrailingSlash(QString path)
{
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

void initPaths()
{
    initPaths(QCoreApplication::applicationDirPath(),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
              systemWorkArea());
}

void initPaths(const QString& programDir, const QString& appDataDir, WorkAreaRect workArea)
{
    // Case is kept: on this system two folders may differ only by it.
    ProgramDir = withoutTrailingSlash(QDir::fromNativeSeparators(programDir));
    DataDir = appDataDir.isEmpty()
        ? ProgramDir
        : withoutTrailingSlash(QDir::fromNativeSeparators(appDataDir)) + '/' + SettingsFolderName;
    IniFileName = DataDir + '/' + SettingsBaseName;
    WorkArea = workArea;
}

void prepareDataDir()
{
    const QString ownIni = ProgramDir + '/' + SettingsBaseName;
    if (QFileInfo(ownIni).isFile()) {
        IniFileName = ownIni;
        DataDir = ProgramDir;
    }
    if (!QFileInfo(DataDir).isDir())
        QDir().mkpath(DataDir);
}

void setFontName(QFont& font, const QString& name)
{
    if (!name.isEmpty())
        font.setFamily(name.left(MaxFontNameLength));
}

void createDefaultFont()
{
    QFont font;
    setFontName(font, QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    Beall.DefaultFont = font;
}

void LoadSettings()
{
    const IniFile ini(IniFileName);
    Beall.LangFile = ini.readString("Lang", "File", QString());
    Beall.FontSize = ini.readInteger("Screen", "FontSize", 9);
    Beall.Zoom = ini.readInteger("Screen", "Zoom", 100);
    Beall.CutGuides = ini.readBool("Screen", "CutGuides", false);
    // The bleed in hundredths of a millimetre, as the printers' calibration;
    // one the shop's file cannot have gives the default.
    const int bleed = ini.readInteger("PrintShop", "Bleed", -1);
    Beall.PrintShopBleed = printshop::validBleed(bleed / 100.0) ? bleed / 100.0 : printshop::DefaultBleed;
    Beall.PrintShopCropMarks = ini.readBool("PrintShop", "CropMarks", false);
    Beall.PrintShopFolder = ini.readString("PrintShop", "Folder", QString());
    Beall.LargePictureAnswer = largePicturesFrom(ini.readInteger("Picture", "Reduce", AskLargePictures));
    Beall.RecentCards.clear();
    for (int i = 1; i <= MaxRecentCards; ++i) {
        const QString card = ini.readString("Recent", QStringLiteral("File%1").arg(i), QString());
        if (!card.isEmpty() && !Beall.RecentCards.contains(card))
            Beall.RecentCards << card;
    }

    QFont& font = Beall.DefaultFont;
    setFontName(font, ini.readString("Font", "Name", QStringLiteral("Arial")));
    // Qt refuses a size below 1 with a warning; the font keeps its size.
    const int size = ini.readInteger("Font", "Size", 8);
    if (size > 0)
        font.setPointSize(size);
    font.setBold(ini.readBool("Font", "Bold", false));
    font.setItalic(ini.readBool("Font", "Italic", false));
    font.setUnderline(ini.readBool("Font", "Underline", false));
    font.setStrikeOut(false);
}

// Written whenever the list changes, not only at a clean exit, so that a
// crash keeps it; an entry already as it should be is not written again.
void SaveRecentCards()
{
    const IniFile ini(IniFileName);
    for (int i = 1; i <= MaxRecentCards; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        const QString wanted = i <= Beall.RecentCards.size() ? Beall.RecentCards[i - 1] : QString();
        const QString stored = ini.readString("Recent", key, QString());
        if (stored != wanted)
            ini.writeString("Recent", key, wanted);
    }
}

void SaveSettings()
{
    const IniFile ini(IniFileName);
    ini.writeString("Lang", "File", Beall.LangFile);
    ini.writeInteger("Screen", "FontSize", Beall.FontSize);
    ini.writeInteger("Screen", "Zoom", Beall.Zoom);
    ini.writeBool("Screen", "CutGuides", Beall.CutGuides);
    SaveRecentCards();

    const QFont& font = Beall.DefaultFont;
    ini.writeString("Font", "Name", font.family());
    ini.writeInteger("Font", "Size", font.pointSize());
    ini.writeBool("Font", "Bold", font.bold());
    ini.writeBool("Font", "Italic", font.italic());
    ini.writeBool("Font", "Underline", font.underline());

    ini.writeInteger("PrintShop", "Bleed", int(std::lround(Beall.PrintShopBleed * 100)));
    ini.writeBool("PrintShop", "CropMarks", Beall.PrintShopCropMarks);
    ini.writeString("PrintShop", "Folder", Beall.PrintShopFolder);

    ini.writeInteger("Picture", "Reduce", codeOf(Beall.LargePictureAnswer));
}

QRect fitIntoWorkArea(QRect bounds, int right, int bottom)
{
    // 64-bit sums: a hand-edited file may hold any int.
    qint64 left = bounds.x();
    qint64 top = bounds.y();
    qint64 width = bounds.width();
    qint64 height = bounds.height();

    if (left > right)
        left = 0;
    if (top > bottom)
        top = 0;
    if (left + width > right) {
        if (width < right) {
            left = right - width;
        } else {
            left = 0;
            width = right;
        }
    }
    if (top + height > bottom) {
        if (height < bottom) {
            top = bottom - height;
        } else {
            top = 0;
            height = bottom;
        }
    }
    return QRect(int(left), int(top), int(width), int(height));
}

QRect LoadFormBounds(const QString& section, int defaultWidth, int defaultHeight)
{
    const IniFile ini(IniFileName);
    const int left = ini.readInteger(section, "Left", DefaultFormLeft);
    const int top = ini.readInteger(section, "Top", DefaultFormTop);
    const int width = ini.readInteger(section, "Width", defaultWidth);
    const int height = ini.readInteger(section, "Height", defaultHeight);
    return fitIntoWorkArea(QRect(left, top, width, height), WorkArea.Right, WorkArea.Bottom);
}

void SaveFormBounds(const QString& section, const QRect& bounds)
{
    const IniFile ini(IniFileName);
    ini.writeInteger(section, "Left", bounds.x());
    ini.writeInteger(section, "Top", bounds.y());
    ini.writeInteger(section, "Width", bounds.width());
    ini.writeInteger(section, "Height", bounds.height());
}

QPoint LoadFormPos(const QString& section)
{
    const IniFile ini(IniFileName);
    return QPoint(ini.readInteger(section, "Left", DefaultFormLeft),
                  ini.readInteger(section, "Top", DefaultFormTop));
}

void SaveFormPos(const QString& section, const QPoint& pos)
{
    const IniFile ini(IniFileName);
    ini.writeInteger(section, "Left", pos.x());
    ini.writeInteger(section, "Top", pos.y());
}

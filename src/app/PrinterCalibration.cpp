#include "app/PrinterCalibration.h"

#include "print/IniFile.h"
#include "app/Settings.h"

#include <cmath>

namespace {

constexpr int Hundredths = 100;

double readHundredths(const IniFile& ini, const QString& section, const QString& key, double lowest, double highest,
                      double fallback)
{
    const int stored = ini.readInteger(section, key, std::numeric_limits<int>::min());
    const double value = double(stored) / Hundredths;
    if (stored == std::numeric_limits<int>::min() || value < lowest || value > highest)
        return fallback;
    return value;
}

sheet::Calibration readSide(const IniFile& ini, const QString& section, const QString& prefix)
{
    sheet::Calibration side;
    const double offset = sheet::MaxOffset;
    side.offset.setX(readHundredths(ini, section, prefix + "OffsetX", -offset, offset, 0));
    side.offset.setY(readHundredths(ini, section, prefix + "OffsetY", -offset, offset, 0));
    side.scale.setX(readHundredths(ini, section, prefix + "ScaleX", sheet::MinScale, sheet::MaxScale, 100));
    side.scale.setY(readHundredths(ini, section, prefix + "ScaleY", sheet::MinScale, sheet::MaxScale, 100));
    return side;
}

void writeSide(const IniFile& ini, const QString& section, const QString& prefix, const sheet::Calibration& side)
{
    auto whole = [](double value) { return int(std::lround(value * Hundredths)); };
    ini.writeInteger(section, prefix + "OffsetX", whole(side.offset.x()));
    ini.writeInteger(section, prefix + "OffsetY", whole(side.offset.y()));
    ini.writeInteger(section, prefix + "ScaleX", whole(side.scale.x()));
    ini.writeInteger(section, prefix + "ScaleY", whole(side.scale.y()));
}

} // namespace

QString printerSection(const QString& printerName)
{
    return QStringLiteral("Printer:") + printerName;
}

sheet::PrinterCalibration LoadPrinterCalibration(const QString& printerName)
{
    const IniFile ini(IniFileName);
    const QString section = printerSection(printerName);
    return {readSide(ini, section, QString()), readSide(ini, section, QStringLiteral("Back"))};
}

void SavePrinterCalibration(const QString& printerName, const sheet::PrinterCalibration& calibration)
{
    const IniFile ini(IniFileName);
    const QString section = printerSection(printerName);
    writeSide(ini, section, QString(), calibration.front);
    writeSide(ini, section, QStringLiteral("Back"), calibration.back);
}

QString LoadPrinterSheet(const QString& printerName)
{
    return IniFile(IniFileName).readString(printerSection(printerName), QStringLiteral("Sheet"), QString());
}

void SavePrinterSheet(const QString& printerName, const QString& sheetName)
{
    IniFile(IniFileName).writeString(printerSection(printerName), QStringLiteral("Sheet"), sheetName);
}

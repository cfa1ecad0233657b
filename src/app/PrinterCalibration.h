#pragma once

#include "print/SheetLayout.h"

#include <QString>

// Each printer's calibration in the settings file: a section "Printer:"
// and the printer's name, whole numbers in hundredths of a millimetre
// (OffsetX, OffsetY, BackOffsetX, BackOffsetY) and of a percent (ScaleX,
// ScaleY, BackScaleX, BackScaleY). A value that is missing, no number or
// beyond the limits (±20 mm, 90 … 110 %) reads as the default: no shift,
// 100 %.
sheet::PrinterCalibration LoadPrinterCalibration(const QString& printerName);
// Throws IniWriteError as every settings write does.
void SavePrinterCalibration(const QString& printerName, const sheet::PrinterCalibration& calibration);
QString printerSection(const QString& printerName);
// The name of the card stock layout last printed on with a printer: the
// key Sheet of its section; empty where there is none.
QString LoadPrinterSheet(const QString& printerName);
void SavePrinterSheet(const QString& printerName, const QString& sheetName);

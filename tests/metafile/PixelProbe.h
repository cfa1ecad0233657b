#pragma once

#include "metafile/Metafile.h"

#include <QColor>
#include <QImage>

#include <functional>
#include <string>

// The picture played onto a white image of that size, filling it.
// The picture played onto white; what the playing cost goes to spent.
QImage renderPicture(const std::string& bytes, MetafileFormat format, QSize size, WorkBudget* spent = nullptr);

bool near(QRgb pixel, QColor expected, int tolerance = 48);
bool isDark(QRgb pixel);
bool isWhite(QRgb pixel);
int countPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test);
// Rows (or columns) of area that hold at least one pixel passing test.
int countRows(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test);
// The smallest rectangle around the pixels passing test; empty when none does.
QRect boxOf(const QImage& image, const std::function<bool(QRgb)>& test);

std::string readFixture(const QString& name);

#pragma once

#include <functional>

class QPainter;

// Whether painting something would put anything not opaque on the page: a
// picture's pixel that is not fully opaque where it is drawn, a colour,
// gradient or texture that is not, or an opacity below one. Nothing is
// drawn; the painter given to paint is in 96 pixels per inch.
bool paintsTransparency(const std::function<void(QPainter&)>& paint);

#pragma once

#include "tools/Pictures.h"

#include <QImage>

namespace pictures {

// The application's icon as the tray and the window show it: 32×32 in the
// sixteen classic colours, every pixel one of them.
QImage AppIcon();

// The same picture drawn smoothly at `scale`, for screens at scale 2.
QImage SmoothAppIcon(int scale);

// The same drawing for the desktop's icon theme: PNGs at the theme's sizes and
// a scalable SVG, on a transparent background, as hicolor/<size>/apps/<name>.
std::vector<PictureFile> ThemeIcons(const QString& name);

} // namespace pictures

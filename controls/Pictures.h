#pragma once

#include <QPixmap>

// A picture of the resources (":/pictures/<file>"); null when it is missing.
QPixmap Picture(const char* file);

// A picture as an image list shows it: without an alpha channel of its own, the
// colour of its bottom-left pixel is transparent.
QPixmap ImageListPicture(const char* file);

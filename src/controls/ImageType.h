#pragma once

#include <QString>

// The kinds of image that can be found by name, in the order they are searched.
enum class TImageType { itNone, itSVG, itPNG, itBitmap };

// File extension of an image type, with its dot (".svg", ".png", ".bmp"); empty for none.
QString ImageTypeExtension(TImageType AType);

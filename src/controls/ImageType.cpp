#include "controls/ImageType.h"

QString ImageTypeExtension(TImageType AType)
{
    switch (AType) {
    case TImageType::itSVG:
        return QStringLiteral(".svg");
    case TImageType::itPNG:
        return QStringLiteral(".png");
    case TImageType::itBitmap:
        return QStringLiteral(".bmp");
    case TImageType::itNone:
        break;
    }
    return {};
}

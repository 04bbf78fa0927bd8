#pragma once

#include "controls/ImageType.h"

#include <QIODevice>
#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;
class TKpSmartGlyph;

// Finding images by name. Each type is searched in the order SVG, PNG, bitmap; within a
// type a file in the icons folder (given with the iconsDir switch) comes before the
// program's own resource. Resources are named in upper case and matched without regard
// to letter case; files in the icons folder likewise.
namespace ResourceUtils {

// The folder given with the iconsDir switch; empty when absent or not an existing folder.
QString IconsFolder();
// Reads the iconsDir switch from AArguments (the first one is the program and is
// skipped): "-iconsDir DIR", "/iconsDir DIR", "-iconsDir:DIR", "-iconsDirDIR", the
// switch in any letter case. A folder that does not exist is ignored with a warning.
void InitIconsFolder(const QStringList& AArguments);
// Sets or clears the folder directly.
void SetIconsFolder(const QString& AFolder);

// The icons folder's file of the name and type, opened for reading; null when there is
// no folder or no such file. Throws EImageError for a name that cannot be a file name.
std::unique_ptr<QIODevice> FindImageFile(const QString& AName, TImageType AType);
// The program's resource of the name and type; null when there is none.
std::unique_ptr<QIODevice> FindImageResource(const QString& AName, TImageType AType);
// The file first, then the resource.
std::unique_ptr<QIODevice> OpenImageStream(const QString& AName, TImageType AType);
// OpenImageStream for SVG, then PNG, then bitmap; AType reports the type found
// (itNone with a null stream when none).
std::unique_ptr<QIODevice> OpenImageAnyType(const QString& AName, TImageType& AType);
// Looks for the name itself, then (for a size between 8 and 32) the name with the size
// suffixes "_32" .. "_8" that are not above the size, then (for a positive size) the name
// with "_" and the size. AFoundName is the name that was found (empty when none).
std::unique_ptr<QIODevice> FindImage(const QString& AName, int ASize, TImageType& AType,
                                     QString& AFoundName);

// The placeholder of a missing image: at least 16 x 16, white, crossed by two grey
// diagonals.
void DrawMissingImage(QImage& ABitmap);
// Loads the image of the name into the glyph; an empty name does nothing. A missing
// image, or one that cannot be decoded, becomes the placeholder (the latter with one
// warning per image). AControl is not used.
void LoadGlyph(TKpSmartGlyph& AGlyph, const QString& AName, QWidget* AControl = nullptr);

} // namespace ResourceUtils

#include "controls/ResourceUtils.h"

#include "controls/ControlsMath.h"
#include "controls/ControlsResources.h"
#include "controls/EImageError.h"
#include "controls/KpSmartGlyph.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPen>
#include <QSet>
#include <QtDebug>
#include <mutex>

namespace ResourceUtils {

namespace {

struct TIconsFolderState {
    bool Initialized = false;
    QString Folder;
};

TIconsFolderState& IconsState()
{
    static TIconsFolderState state;
    return state;
}

const QString SwitchName = QStringLiteral("iconsDir");

// Characters that may not be part of a file name: a name must never reach outside the
// icons folder or name a device.
bool IsValidImageFileName(const QString& AName)
{
    if (AName.isEmpty() || AName == QLatin1String(".") || AName == QLatin1String(".."))
        return false;
    for (const QChar c : AName) {
        if (c.unicode() < 32)
            return false;
        switch (c.unicode()) {
        case '<': case '>': case ':': case '"': case '/': case '\\': case '|': case '?': case '*':
            return false;
        default:
            break;
        }
    }
    return true;
}

std::unique_ptr<QIODevice> OpenFile(const QString& APath)
{
    auto file = std::make_unique<QFile>(APath);
    if (!file->open(QIODevice::ReadOnly))
        return nullptr;
    return file;
}

QString ResourcePath(const QString& AName, TImageType AType)
{
    return QStringLiteral(":/images/") + AName.toUpper() + ImageTypeExtension(AType);
}

// One warning per image and source, so a bad file cannot flood the output.
void WarnOnce(const QString& AKey, const QString& AText)
{
    static QSet<QString> warned;
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    if (warned.contains(AKey))
        return;
    warned.insert(AKey);
    qWarning().noquote() << AText;
}

const char* const SizeSuffixes[] = {"_8", "_16", "_24", "_32"};

} // namespace

QString IconsFolder()
{
    TIconsFolderState& state = IconsState();
    if (!state.Initialized)
        InitIconsFolder(QCoreApplication::arguments());
    return state.Folder;
}

void InitIconsFolder(const QStringList& AArguments)
{
    TIconsFolderState& state = IconsState();
    state.Initialized = true;
    state.Folder.clear();
    bool found = false;
    QString value;
    for (int i = 1; i < AArguments.size() && !found; ++i) {
        const QString& arg = AArguments[i];
        if (arg.size() < 2 || (arg[0] != QLatin1Char('-') && arg[0] != QLatin1Char('/')))
            continue;
        const QString rest = arg.mid(1);
        if (!rest.startsWith(SwitchName, Qt::CaseInsensitive))
            continue;
        value = rest.mid(SwitchName.size());
        if (value.startsWith(QLatin1Char(':')))
            value = value.mid(1);
        if (value.isEmpty() && i + 1 < AArguments.size())
            value = AArguments[i + 1];
        found = true;
    }
    if (!found)
        return;
    if (!value.isEmpty() && QFileInfo(value).isDir()) {
        state.Folder = value;
        return;
    }
    qWarning().noquote() << QStringLiteral("/iconsDir argument points to a not existing directory, it will be ignored");
}

void SetIconsFolder(const QString& AFolder)
{
    TIconsFolderState& state = IconsState();
    state.Initialized = true;
    state.Folder = AFolder;
}

std::unique_ptr<QIODevice> FindImageFile(const QString& AName, TImageType AType)
{
    const QString folder = IconsFolder();
    const QString extension = ImageTypeExtension(AType);
    if (folder.isEmpty() || extension.isEmpty())
        return nullptr;
    if (!IsValidImageFileName(AName))
        throw EImageError(QStringLiteral("Invalid characters in path"));
    const QDir dir(folder);
    const QString fileName = AName + extension;
    const QString exact = dir.filePath(fileName);
    if (QFileInfo(exact).isFile())
        return OpenFile(exact);
    // Names are upper case while files may be named in any letter case.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return OpenFile(dir.filePath(entry));
    }
    return nullptr;
}

std::unique_ptr<QIODevice> FindImageResource(const QString& AName, TImageType AType)
{
    if (AName.isEmpty() || AType == TImageType::itNone)
        return nullptr;
    EnsureControlsResources();
    const QString path = ResourcePath(AName, AType);
    if (!QFileInfo::exists(path))
        return nullptr;
    return OpenFile(path);
}

std::unique_ptr<QIODevice> OpenImageStream(const QString& AName, TImageType AType)
{
    if (auto file = FindImageFile(AName, AType))
        return file;
    return FindImageResource(AName, AType);
}

std::unique_ptr<QIODevice> OpenImageAnyType(const QString& AName, TImageType& AType)
{
    for (const TImageType type : {TImageType::itSVG, TImageType::itPNG, TImageType::itBitmap}) {
        if (auto stream = OpenImageStream(AName, type)) {
            AType = type;
            return stream;
        }
    }
    AType = TImageType::itNone;
    return nullptr;
}

std::unique_ptr<QIODevice> FindImage(const QString& AName, int ASize, TImageType& AType, QString& AFoundName)
{
    AFoundName = AName;
    if (auto stream = OpenImageAnyType(AFoundName, AType))
        return stream;
    if (ASize >= 8 && ASize <= 32) {
        for (int i = ASize / 8; i >= 1; --i) {
            AFoundName = AName + QLatin1String(SizeSuffixes[i - 1]);
            if (auto stream = OpenImageAnyType(AFoundName, AType))
                return stream;
        }
    }
    if (ASize > 0) {
        AFoundName = AName + QLatin1Char('_') + QString::number(ASize);
        if (auto stream = OpenImageAnyType(AFoundName, AType))
            return stream;
    }
    AFoundName.clear();
    AType = TImageType::itNone;
    return nullptr;
}

void DrawMissingImage(QImage& ABitmap)
{
    const int w = std::max(ABitmap.width(), 16);
    const int h = std::max(ABitmap.height(), 16);
    if (ABitmap.width() != w || ABitmap.height() != h || ABitmap.format() != QImage::Format_ARGB32_Premultiplied)
        ABitmap = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    ABitmap.fill(Qt::white);
    // Lines from the first point up to, but not including, the second one.
    const QRgb grey = qRgb(0x80, 0x80, 0x80);
    auto line = [&](int x0, int y0, int x1, int y1) {
        const int dx = std::abs(x1 - x0);
        const int dy = std::abs(y1 - y0);
        const int steps = std::max(dx, dy);
        for (int s = 0; s < steps; ++s) {
            const int x = x0 + (x1 - x0) * s / std::max(steps, 1);
            const int y = y0 + (y1 - y0) * s / std::max(steps, 1);
            if (x >= 0 && y >= 0 && x < w && y < h)
                ABitmap.setPixel(x, y, grey);
        }
    };
    line(2, 2, w - 2, h - 2);
    line(w - 3, 2, 1, h - 2);
}

void LoadGlyph(TKpSmartGlyph& AGlyph, const QString& AName, QWidget* AControl)
{
    Q_UNUSED(AControl);
    if (AName.isEmpty())
        return;
    TImageType type = TImageType::itNone;
    QString foundName;
    std::unique_ptr<QIODevice> stream = FindImage(AName, -1, type, foundName);
    if (stream) {
        const QByteArray data = stream->readAll();
        const QString source = qobject_cast<QFile*>(stream.get()) ? static_cast<QFile*>(stream.get())->fileName()
                                                                  : foundName;
        stream.reset();
        try {
            AGlyph.LoadFromData(data, type);
            if (type == TImageType::itSVG) {
                const int width = AGlyph.SourceWidth();
                const int height = AGlyph.SourceHeight();
                // Large drawings are shown at 16 pixels on their smaller side.
                if (width > 20 && height > 0) {
                    if (width > height)
                        AGlyph.SetSourceSize(RoundHalfEven(width * 16.0 / height), 16);
                    else
                        AGlyph.SetSourceSize(16, RoundHalfEven(height * 16.0 / width));
                }
            }
            return;
        } catch (const EImageError& e) {
            // An image that cannot be decoded must not stop the program: it is shown as
            // missing, and said once.
            WarnOnce(source, QStringLiteral("Image \"%1\" cannot be decoded (%2); a placeholder is shown")
                                 .arg(source, e.Message()));
        }
    }
    QImage placeholder;
    DrawMissingImage(placeholder);
    AGlyph.SetBitmap(placeholder);
}

} // namespace ResourceUtils

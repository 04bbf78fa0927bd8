#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QPalette>
#include <QString>
#include <optional>

// A skin: a palette for the widgets and the named colours, groups, elements and element
// properties that drawing code asks for. Skins are JSON documents:
//   { "name": ..., "palette": { "<role>": "#rrggbb", ... },
//     "colors": { "<name>": "#rrggbb", ... },
//     "groups": { "<group>": { "<element>": { "color": "#rrggbb",
//         "properties": { "<name>": { "kind": "alternateImage",
//             "gradientBegin": "#rrggbb", "gradientEnd": "#rrggbb" } } } } } }
// Names of colours, groups, elements and properties are matched exactly.
class TKpSkin {
public:
    enum class TPropertyKind { pkColor, pkAlternateImage };
    struct TProperty {
        TPropertyKind Kind = TPropertyKind::pkColor;
        QColor Color;
        QColor GradientBegin;
        QColor GradientEnd;
    };
    struct TElement {
        QColor Color;
        QHash<QString, TProperty> Properties;
    };

    // Throws EKpSkinError for data that is not such a document.
    static TKpSkin FromJson(const QByteArray& AData);

    const QString& Name() const { return FName; }
    const QPalette& Palette() const { return FPalette; }
    std::optional<QColor> Color(const QString& AName) const;
    const TElement* Element(const QString& AGroup, const QString& AElement) const;
    const TProperty* ElementProperty(const QString& AGroup, const QString& AElement,
                                     const QString& AProperty) const;
    // Every colour name, for checks.
    QStringList ColorNames() const { return FColors.keys(); }

private:
    QString FName;
    QPalette FPalette;
    QHash<QString, QColor> FColors;
    QHash<QString, QHash<QString, TElement>> FGroups;
};

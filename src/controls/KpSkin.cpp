#include "controls/KpSkin.h"

#include "controls/EKpSkinError.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMetaEnum>

namespace {

QColor ParseColor(const QJsonValue& AValue, const QString& AWhere)
{
    const QColor color = QColor::fromString(AValue.toString());
    if (!AValue.isString() || !color.isValid())
        throw EKpSkinError(QStringLiteral("Skin colour %1 is not a colour").arg(AWhere));
    return color;
}

void ApplyPaletteGroup(QPalette& APalette, const QJsonObject& ARoles, std::optional<QPalette::ColorGroup> AGroup,
                       const QString& AWhere)
{
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    for (auto it = ARoles.begin(); it != ARoles.end(); ++it) {
        bool ok = false;
        const int role = roles.keyToValue(it.key().toLatin1().constData(), &ok);
        if (!ok)
            throw EKpSkinError(QStringLiteral("Skin palette role %1 is unknown").arg(it.key()));
        const QColor color = ParseColor(it.value(), AWhere + QLatin1Char('.') + it.key());
        if (AGroup)
            APalette.setColor(*AGroup, static_cast<QPalette::ColorRole>(role), color);
        else
            APalette.setColor(static_cast<QPalette::ColorRole>(role), color);
    }
}

} // namespace

TKpSkin TKpSkin::FromJson(const QByteArray& AData)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(AData, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw EKpSkinError(QStringLiteral("Skin data is not a JSON object: %1").arg(error.errorString()));
    const QJsonObject root = document.object();

    TKpSkin skin;
    skin.FName = root.value(QLatin1String("name")).toString();
    ApplyPaletteGroup(skin.FPalette, root.value(QLatin1String("palette")).toObject(), std::nullopt,
                      QStringLiteral("palette"));
    ApplyPaletteGroup(skin.FPalette, root.value(QLatin1String("disabled")).toObject(), QPalette::Disabled,
                      QStringLiteral("disabled"));

    const QJsonObject colors = root.value(QLatin1String("colors")).toObject();
    for (auto it = colors.begin(); it != colors.end(); ++it)
        skin.FColors.insert(it.key(), ParseColor(it.value(), it.key()));

    const QJsonObject groups = root.value(QLatin1String("groups")).toObject();
    for (auto g = groups.begin(); g != groups.end(); ++g) {
        QHash<QString, TElement>& group = skin.FGroups[g.key()];
        const QJsonObject elements = g.value().toObject();
        for (auto e = elements.begin(); e != elements.end(); ++e) {
            const QString where = g.key() + QLatin1Char('.') + e.key();
            const QJsonObject elementData = e.value().toObject();
            TElement element;
            if (elementData.contains(QLatin1String("color")))
                element.Color = ParseColor(elementData.value(QLatin1String("color")), where);
            const QJsonObject properties = elementData.value(QLatin1String("properties")).toObject();
            for (auto p = properties.begin(); p != properties.end(); ++p) {
                const QJsonObject propertyData = p.value().toObject();
                const QString kind = propertyData.value(QLatin1String("kind")).toString();
                const QString propertyWhere = where + QLatin1Char('.') + p.key();
                TProperty property;
                if (kind == QLatin1String("alternateImage")) {
                    property.Kind = TPropertyKind::pkAlternateImage;
                    property.GradientBegin = ParseColor(propertyData.value(QLatin1String("gradientBegin")), propertyWhere);
                    property.GradientEnd = ParseColor(propertyData.value(QLatin1String("gradientEnd")), propertyWhere);
                } else if (kind == QLatin1String("color")) {
                    property.Kind = TPropertyKind::pkColor;
                    property.Color = ParseColor(propertyData.value(QLatin1String("color")), propertyWhere);
                } else {
                    throw EKpSkinError(QStringLiteral("Skin property %1 has an unknown kind").arg(propertyWhere));
                }
                element.Properties.insert(p.key(), property);
            }
            group.insert(e.key(), element);
        }
    }
    return skin;
}

std::optional<QColor> TKpSkin::Color(const QString& AName) const
{
    const auto it = FColors.constFind(AName);
    if (it == FColors.constEnd())
        return std::nullopt;
    return *it;
}

const TKpSkin::TElement* TKpSkin::Element(const QString& AGroup, const QString& AElement) const
{
    const auto group = FGroups.constFind(AGroup);
    if (group == FGroups.constEnd())
        return nullptr;
    const auto element = group->constFind(AElement);
    return element == group->constEnd() ? nullptr : &*element;
}

const TKpSkin::TProperty* TKpSkin::ElementProperty(const QString& AGroup, const QString& AElement,
                                                   const QString& AProperty) const
{
    const TElement* element = Element(AGroup, AElement);
    if (!element)
        return nullptr;
    const auto property = element->Properties.constFind(AProperty);
    return property == element->Properties.constEnd() ? nullptr : &*property;
}

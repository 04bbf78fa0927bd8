#include "import/CsConst.h"

const std::array<QString, 3>& CsConst::IzvVeidsTexts()
{
    static const std::array<QString, 3> texts{
        QStringLiteral("Visi koki"), QStringLiteral("Operatora izvēlētie"), QStringLiteral("Nejaušie koki")};
    return texts;
}

const std::array<QString, 3>& CsConst::MerijVeidsTexts()
{
    static const std::array<QString, 3> texts{
        QStringLiteral("No faila"), QStringLiteral("Apr. resg"), QStringLiteral("Apr. tievg.")};
    return texts;
}

const std::array<QString, 3>& CsConst::DerigsDiamNovTexts()
{
    static const std::array<QString, 3> texts{
        QStringLiteral("Jā"), QStringLiteral("Nē"), QStringLiteral("Neizmanto")};
    return texts;
}

QString CsConst::TextAt(const std::array<QString, 3>& table, int index)
{
    if (index < 0 || index > 2)
        return QString();
    return table[static_cast<size_t>(index)];
}

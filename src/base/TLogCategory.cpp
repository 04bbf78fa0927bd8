#include "base/TLogCategory.h"

#include <array>

TLogCategories LogCategories(std::initializer_list<TLogCategory> categories)
{
    TLogCategories set;
    for (TLogCategory category : categories)
        set.set(static_cast<std::size_t>(category));
    return set;
}

const TLogCategoryInfo& LogCategoryInfo(TLogCategory category)
{
    static constexpr std::array<TLogCategoryInfo, LogCategoryCount> table{{
        {"dmSys", "LogDmSys", "dmSystem creation/destruction"},
        {"Session", "LogSession", "dmSystem assignment to session "},
        {"WebRequest", "LogWebRequest", "Web request"},
        {"Object", "LogObject", "BL object creation/destruction"},
        {"DBDetailed", "LogDBDetailed", "Query execution detailed"},
        {"DBShort", "LogDBShort", "Query execution short"},
        {"Exception", "LogException", "Exception handling"},
        {"Calculation", "LogCalculation", "Calculations"},
        {"System", "LogSys", "System"},
        {"Rights", "LogRights", "Rights"},
        {"JobScheduler", "LogSched", "Job scheduler"},
        {"UserSession", "LogUserSession", "User session"},
        {"HttpSessions", "LogHttpSession", "Http session"},
        {"dmSysDistribution", "LogDmSysDistribution", "dmSysDistribution"},
        {"dmSysBalancer", "LogDmSysBalancer", "dmSysBalancer"},
        {"Mailer", "LogMailer", "Mailer"},
        {"Sask", "LogSask", "Sask"},
    }};
    return table.at(static_cast<std::size_t>(category));
}

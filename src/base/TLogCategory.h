#pragma once

#include <QString>
#include <bitset>
#include <initializer_list>

// The areas a log message can belong to; a category set has bit n for category n.
enum class TLogCategory : quint8 {
    DmSys, Session, WebRequest, Object, DBDetailed, DBShort, Exception, Calculation, System, Rights,
    JobScheduler, UserSession, HttpSessions, DmSysDistribution, DmSysBalancer, Mailer, Sask
};

inline constexpr int LogCategoryCount = 17;

using TLogCategories = std::bitset<LogCategoryCount>;

TLogCategories LogCategories(std::initializer_list<TLogCategory> categories);

struct TLogCategoryInfo
{
    const char* ShortName;
    const char* Identifier;
    const char* Description;
};

// Short name, identifier and description of one category.
const TLogCategoryInfo& LogCategoryInfo(TLogCategory category);

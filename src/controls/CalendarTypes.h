#pragma once

// A weekday: 0 = Sunday ... 6 = Saturday.
using TDayOfWeek = int;

// Which week of a year counts as its first.
enum class TFirstWeekKind { wkFirstDay, wkFourDays, wkFullWeek };

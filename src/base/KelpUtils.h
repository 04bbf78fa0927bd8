#pragma once

#include "base/IShellServices.h"
#include "base/TInterimType.h"
#include "platform/rtl/DateTime.h"

#include <QString>
#include <memory>

// Temporary file names, opening files with their program, period dates for exports and the
// conversion of display formats into spreadsheet number formats.
class KelpUtils
{
public:
    KelpUtils() = delete;

    // Folder (a "/" added when missing) followed by a new GUID without braces, no extension.
    static QString NewTempFileName(const QString& folder);

    // Opens the file with its associated program; a blank name does nothing. A missing file is
    // reported as "Fails "<name>" nav atrasts!"; a file that is there but could not be opened
    // (no program for its type, or any error on the way) is reported with its full path.
    static void ShellOpenFile(const QString& fileName);
    static IShellServices& ShellServices();
    // Replaces the shell services (tests); nullptr restores the desktop's.
    static void SetShellServices(std::shared_ptr<IShellServices> services);

    // A stored period-date text for display in an export; any text that is not 10 digits is
    // returned unchanged.
    static QString InterimDateToDisplayText(const QString& value, bool monthStart);
    static DateTime GetDateValueInDateTimeWithInterim(const QString& text, TInterimType type);
    static QString GetInterimDisplayText(DateTime date, TInterimType type,
                                         const QString& interimValue, bool monthOnly,
                                         bool showTime);

    static QString DateFormatToSheetFormat(const QString& format);
    static QString NumberFormatToSheetFormat(const QString& format);

    // The hourglass while onFlag, else the normal cursor.
    static void DefaultWaitCursor(bool onFlag);
    // Installs DefaultWaitCursor as WaitCursorProc; called once at program start.
    static void InstallDefaultHooks();
};

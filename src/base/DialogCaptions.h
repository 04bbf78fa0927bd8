#pragma once

#include <QString>

// Captions of message dialogs and their buttons: the English set and the Latvian button set.
enum class TDialogCaption {
    Warning, Error, Information, Confirm,
    Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help, Close,
    LvYes, LvNo, LvOK, LvCancel, LvAbort, LvRetry, LvIgnore, LvAll, LvNoToAll, LvYesToAll, LvHelp
};

inline constexpr int DialogCaptionCount = 27;

QString DialogCaption(TDialogCaption caption);

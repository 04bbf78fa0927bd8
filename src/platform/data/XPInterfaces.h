#pragma once

// The observer family's interfaces in one include.
#include "platform/data/IKpDbDataSet.h"
#include "platform/data/IKpDbField.h"
#include "platform/data/IKpDbObserver.h"
#include "platform/data/IXPObserver.h"
#include "platform/data/IXPSubject.h"
#include "platform/data/IXPSubjects.h"
#include "platform/data/IXPUnknown.h"
#include "platform/data/XPRef.h"
#include "platform/data/XPSubjectCallback.h"

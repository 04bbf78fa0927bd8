#include "platform/rtl/TObject.h"

TObject::~TObject() = default;

#include "base/IObjReference.h"

IObjReference::~IObjReference() = default;

#include "base/IInterface.h"

IInterface::~IInterface() = default;

#include "base/TIdSSLOptions.h"

void TIdSSLOptions::AssignTo(TIdSSLOptions& Dest) const
{
    static_cast<TIdSSLSettings&>(Dest) = *this;
}

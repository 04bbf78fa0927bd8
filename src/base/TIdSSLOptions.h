#pragma once

#include "base/TIdSSLSettings.h"

// The TLS settings of a connection handler, handed to each context it makes.
class TIdSSLOptions : public TIdSSLSettings
{
public:
    // Copies every setting, the store and the thumbprint included (a copy that lost them would
    // present no certificate).
    void AssignTo(TIdSSLOptions& Dest) const;
};

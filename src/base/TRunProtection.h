#pragma once

#include <QByteArray>

// Protects bytes so that only this process, in this run, can read them back: authenticated
// encryption under a key made at random for the run and held only in memory (wiped at exit), with
// the process id, a routine's address and the run's random bytes as associated data. Damaged or
// foreign data fails to unprotect; it never decrypts to garbage.
class TRunProtection
{
public:
    // 4 bytes process id, 4 bytes routine address, the run's 16 bytes; built afresh each call.
    static QByteArray Entropy();
    static constexpr int RunBytesLength = 16;
    static constexpr int EntropyLength = 8 + RunBytesLength;

    static QByteArray Protect(const QByteArray& plain);
    // Throws EDataProtectionError with the crypto library's reason when the data does not verify.
    static QByteArray Unprotect(const QByteArray& encrypted);
};

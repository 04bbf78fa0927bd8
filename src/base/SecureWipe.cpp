#include "base/SecureWipe.h"

#include <openssl/crypto.h>

namespace {

// The whole allocation, not only the current characters: a text that was shortened, or cut at
// its front, keeps its old characters in the spare room around them.
template <typename DataPointer>
void WipeAllocation(const DataPointer& data)
{
    if (!data.isMutable())
        return;
    const auto* start = data.data() - data.freeSpaceAtBegin();
    OPENSSL_cleanse(const_cast<std::remove_const_t<std::remove_pointer_t<decltype(start)>>*>(start),
                    static_cast<std::size_t>(data.constAllocatedCapacity()) * sizeof(*start));
}

} // namespace

void SecureWipe(const QString& text)
{
    WipeAllocation(const_cast<QString&>(text).data_ptr());
}

void SecureWipe(const QByteArray& bytes)
{
    WipeAllocation(const_cast<QByteArray&>(bytes).data_ptr());
}

#include "CMemoryBank.h"

#include "Archive.h"

namespace kovo {

void CMemoryBank::serialize(Archive& archive) {
    if (archive.isLoading() && fileVersion() < kFirstVersionWithLinkSets) {
        linkFlags.fill(archive.readByte());
    } else {
        for (auto& flag : linkFlags)
            archive.io(flag);
    }
    archive.io(name);
}

} // namespace kovo

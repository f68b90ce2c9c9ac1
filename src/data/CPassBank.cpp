#include "CPassBank.h"

#include "Archive.h"

namespace kovo {

void CPassBank::serialize(Archive& archive) {
    archive.io(inUse);
    archive.io(lowFrequency);
    archive.io(highFrequency);
    archive.io(comment);
}

} // namespace kovo

#include "CLogData.h"

#include "Archive.h"

namespace kovo {

void CLogData::serialize(Archive& archive) {
    archive.io(frequency);
    archive.io(firstHeard);
    archive.io(lastHeard);
    archive.io(maxSignal);
    archive.io(comment);
}

} // namespace kovo

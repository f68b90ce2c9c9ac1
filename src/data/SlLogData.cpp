#include "SlLogData.h"

#include "Archive.h"

namespace kovo {

void SlLogData::serialize(Archive& archive) {
    for (auto& field : fields)
        archive.io(field);
}

} // namespace kovo

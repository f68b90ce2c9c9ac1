#include "CAutoBank.h"

#include "Archive.h"

namespace kovo {

void CAutoBank::setNewDocumentValues(int nfmBandWidth) {
    *this = CAutoBank();
    ifBandwidth = nfmBandWidth + 2;
    attenuator = 3;
    step = 10;
}

void CAutoBank::serialize(Archive& archive) {
    archive.io(inUse);
    archive.io(mode);
    archive.io(attenuator);
    archive.io(antenna);
    archive.io(startFrequency);
    archive.io(stopFrequency);
    archive.io(step);
    archive.io(comment);
    if (archive.isStoring() || fileVersion() >= kFirstVersionWithIfBandwidth)
        archive.io(ifBandwidth);
}

} // namespace kovo

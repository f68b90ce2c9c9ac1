#include "CSearchBank.h"

#include "Archive.h"

namespace kovo {

void CSearchBank::setNewDocumentValues(int nfmBandWidth) {
    *this = CSearchBank();
    ifBandwidth = nfmBandWidth + 2;
    attenuator = 3;
    startFrequency = 100000;
    stopFrequency = 2040000000;
    step = 10;
}

void CSearchBank::serialize(Archive& archive) {
    archive.io(inUse);
    archive.io(mode);
    archive.io(ifBandwidth);
    archive.io(antenna);
    archive.io(attenuator);
    archive.io(startFrequency);
    archive.io(stopFrequency);
    archive.io(step);
    archive.io(comment);
}

} // namespace kovo

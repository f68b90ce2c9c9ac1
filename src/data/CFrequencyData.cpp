#include "CFrequencyData.h"

#include "Archive.h"

namespace kovo {

void CFrequencyData::serialize(Archive& archive) {
    archive.io(frequency);
    archive.io(bankMask);
    if (archive.isLoading() && fileVersion() < kFirstVersionWithBankMask) {
        // Older files held a single bank number here; out-of-range numbers give
        // no bank rather than an undefined shift.
        const std::int32_t bank = bankMask;
        bankMask = (bank >= 0 && bank < 32) ? static_cast<std::int32_t>(1u << bank) : 0;
    }
    archive.io(heard);
    archive.io(step);
    archive.io(mode);
    archive.io(ifBandwidth);
    archive.io(attenuator);
    archive.io(antenna);
    archive.io(heardTime);
    archive.io(signal);
    archive.io(maxSignal);
    archive.io(comment);
    archive.io(priority);
    archive.io(ctcss);
    archive.io(tElm);
    archive.io(spare);
}

} // namespace kovo

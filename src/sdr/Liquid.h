#pragma once
// liquid-dsp with std::complex<float> as its complex type (the header picks
// it when <complex> comes first), and owning handles for its objects.
#include <complex>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include <liquid/liquid.h>

namespace kovo::sdr {

template <typename Handle, int (*Destroy)(Handle)> struct LiquidDeleter {
    void operator()(Handle handle) const { Destroy(handle); }
};

template <typename Handle, int (*Destroy)(Handle)>
using LiquidPtr = std::unique_ptr<std::remove_pointer_t<Handle>, LiquidDeleter<Handle, Destroy>>;

// Takes a freshly created object; liquid-dsp gives nothing for arguments it
// refuses, which is a programming error here.
template <typename Handle, int (*Destroy)(Handle)>
LiquidPtr<Handle, Destroy> makeLiquid(Handle handle, const char* what) {
    if (!handle)
        throw std::invalid_argument(std::string("liquid-dsp refused to create ") + what);
    return LiquidPtr<Handle, Destroy>(handle);
}

using NcoPtr = LiquidPtr<nco_crcf, nco_crcf_destroy>;
using ResamplerPtr = LiquidPtr<msresamp_crcf, msresamp_crcf_destroy>;
using RealResamplerPtr = LiquidPtr<msresamp_rrrf, msresamp_rrrf_destroy>;
using FirFilterPtr = LiquidPtr<firfilt_crcf, firfilt_crcf_destroy>;
using FirDecimatorPtr = LiquidPtr<firdecim_crcf, firdecim_crcf_destroy>;
using IirFilterPtr = LiquidPtr<iirfilt_rrrf, iirfilt_rrrf_destroy>;
using FreqDemPtr = LiquidPtr<freqdem, freqdem_destroy>;
using FreqModPtr = LiquidPtr<freqmod, freqmod_destroy>;
using AmpModemPtr = LiquidPtr<ampmodem, ampmodem_destroy>;

} // namespace kovo::sdr

#pragma once
#include <cstdint>

namespace kovo::ipc {

// Results of a command: done, or refused with nothing changed.
inline constexpr std::int32_t kDone = 2;
inline constexpr std::int32_t kRefused = 0;

// Commands received as "KovoControl" or "KovoConfig".
namespace control {
inline constexpr std::uint32_t kFrequency = 0;
inline constexpr std::uint32_t kMode = 1;
inline constexpr std::uint32_t kStep = 2;
inline constexpr std::uint32_t kIfBandwidth = 3;
inline constexpr std::uint32_t kAttenuator = 4;
inline constexpr std::uint32_t kAntenna = 5;
inline constexpr std::uint32_t kOperatingMode = 10;
inline constexpr std::uint32_t kLinkFlags = 12;
inline constexpr std::uint32_t kSearchBanksInUse = 13;
inline constexpr std::uint32_t kLinkSet = 15;
inline constexpr std::uint32_t kLinkSetAndScan = 16;
inline constexpr std::uint32_t kQueryFirst = 100; // frequency .. antenna: 100 .. 105
inline constexpr std::uint32_t kQueryLast = 105;
inline constexpr std::uint32_t kBankNames = 112;
inline constexpr std::uint32_t kSearchBankComments = 113;
inline constexpr std::uint32_t kLinkSetNames = 115;
inline constexpr std::uint32_t kStateGet = 150;
inline constexpr std::uint32_t kStateSet = 151;
inline constexpr std::uint32_t kAnswerClient = 252;
inline constexpr std::uint32_t kAnswerClientAnnounced = 253;
inline constexpr std::uint32_t kStatusClient = 254;
inline constexpr std::uint32_t kStatusClientAnnounced = 255;
inline constexpr std::uint32_t kShutdown = 1000;
} // namespace control

// Notifications sent as "KovoAnswer".
namespace answer {
inline constexpr std::uint32_t kViewReady = 201;
}

// Codes sent as "BROMControl" and received as "BROMAnswer".
namespace recorder {
inline constexpr std::uint32_t kHello = 0;
inline constexpr std::uint32_t kAcknowledge = 1;
inline constexpr std::uint32_t kLinkAgain = 2;
inline constexpr std::uint32_t kGoodbye = 3;
inline constexpr std::uint32_t kRecordWritten = 10;
inline constexpr std::uint32_t kScanMovedOn = 11;
inline constexpr std::uint32_t kStartPlayback = 12;
inline constexpr std::uint32_t kStopPlayback = 13;
inline constexpr std::uint32_t kWriteRecord = 17;
inline constexpr std::uint32_t kSquelchOpened = 18;
inline constexpr std::uint32_t kSquelchClosed = 19;
} // namespace recorder

} // namespace kovo::ipc

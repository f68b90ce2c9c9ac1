#pragma once
#include "AppSettings.h"
#include "CControlParams.h"
#include "CFrequencyData.h"
#include "DocumentContents.h"

#include <vector>

namespace kovo {

// Copies a channel into a tuning record (mainRecord or priorityRecord): every
// field but `priority` and `spare`; then an IF bandwidth of 0 becomes 1 unless
// the 500 Hz filter option is on, a synchronous-AM mode becomes AM unless that
// option is on, and `tuningOffset` becomes the frequency modulo the step
// (0 for a step index outside the table).
void copyByCopyRule(const CFrequencyData& from, CFrequencyData& to, const AppSettings& settings,
                    CControlParams& params);

// Copies a channel into contents.priorityRecord by the copy rule, but leaves
// `tuningOffset` alone: the offset is the grid of the main tuning (program
// search steps on it), and a copy of the priority channel, whether chosen by
// the user or taken when a file is read, must not move it.
void copyIntoPriorityRecord(const CFrequencyData& from, DocumentContents& contents,
                            const AppSettings& settings);

// After a file was read, priorityRecord takes the priority channel, or in a
// file without channels the main record (a new document starts with both
// alike), so that it never keeps what the previous document held. The
// tuning offset stays, as with copyIntoPriorityRecord.
void takePriorityRecord(DocumentContents& contents, const AppSettings& settings);

// Bank mask of the memory banks that take part in the current link set.
std::uint32_t linkMaskOf(const DocumentContents& contents);

// Whether memory scan can stop on a channel: it is in a bank of `linkMask`
// and, while the mode filter is on, its mode is enabled. Synchronous-AM
// channels (modes 6..8) follow the AM switch.
bool isReachableChannel(const DocumentContents& contents, std::uint32_t linkMask,
                        const CFrequencyData& channel);

// Channels memory scan can reach (isReachableChannel with the current link set).
int countReachableChannels(const DocumentContents& contents);

// The rows of `rows` that lie in 0..limit-1, ascending, each once.
std::vector<int> rowsBelow(const std::vector<int>& rows, int limit);

} // namespace kovo

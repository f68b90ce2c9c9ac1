#pragma once
#include "data/OperatingMode.h"
#include "data/UiText.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kovo {

class ReceiverFeatures;

// What the user is told when the recorder has nothing for a log entry.
// Shown through uiText("Database", ...), which translates it.
inline constexpr const char* kNoAudioMessage =
    KOVO_TRANSLATE_NOOP("Database", "音声データがありません");

// What the database panel needs of the receiver core: the database hold
// (timer 11) and the hand-picked tuning of a row. The panel never talks to
// the receiver; these change the document and the polling loop follows.
class DatabaseCore {
public:
    virtual ~DatabaseCore() = default;
    // Sets the hold and (re)starts its five seconds.
    virtual void holdForAWhile() = 0;
    // Sets the hold without an end (an in-place editor is open).
    virtual void holdUntilCleared() = 0;
    virtual void releaseHold() = 0;
    virtual bool isHeld() const = 0;
    // Switches (or re-enters) an operating mode.
    virtual void setOperatingMode(OperatingMode mode) = 0;
    // The user picked a channel, a log entry or a search bank.
    virtual void channelChosenByHand(int row) = 0;
    virtual void logEntryChosenByHand(int r) = 0;
    virtual void searchBankChosenByHand(int k) = 0;
    // Link set `k` becomes the current one; false, and nothing changed,
    // outside the link sets.
    virtual bool chooseLinkSet(int k) = 0;
    // What the receiver on the line can do; none before it is known.
    virtual const ReceiverFeatures* receiverFeatures() const { return nullptr; }
};

// What the database panel needs of the program around it: the confirmation
// dialog, the companion recorder and the notices to other programs.
class DatabaseHost {
public:
    virtual ~DatabaseHost() = default;
    // The "  Delete DATA" dialog with `question`; true for OK.
    virtual bool confirmDeleteData(const std::string& question) = 0;
    // The same question without waiting for it: `answer` gets true for OK,
    // at once or later. Asking through confirmDeleteData answers at once; a
    // host whose dialog does not block the program overrides this.
    virtual void askDeleteData(const std::string& question, std::function<void(bool)> answer) {
        answer(confirmDeleteData(question));
    }
    // Whether the link to the companion recorder is established.
    virtual bool recorderLinked() const = 0;
    // Asks the recorder to play what it recorded at `frequency` from `time`;
    // false when it has no such recording. A host that hears the recorder's
    // answer only later tells the user kNoAudioMessage itself.
    virtual bool startPlayback(std::uint32_t frequency, std::int32_t time,
                               const std::string& text) = 0;
    virtual void stopPlayback() = 0;
    // A row was tuned from the list: the recorder hears the frequency, the
    // time and the comment when its notification link is up.
    virtual void tunedFromList(std::uint32_t frequency, const std::string& comment) = 0;
    // Bank names were edited (other programs are told).
    virtual void bankNamesChanged() = 0;
};

} // namespace kovo

#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "link/ReceiverDescription.h"

namespace kovo {

// Cuts the text a receiver sends into replies: its description says which
// characters end a reply; the other line characters are dropped; XON and
// XOFF are taken out and reported; a reply that grows past the longest a
// receiver sends is noise and comes out empty.
class ReplyCutter {
public:
    enum class Flow { Unknown, On, Off };
    static constexpr std::size_t kMaxReplyLength = 256;
    using ReplyHandler = std::function<void(std::string_view reply)>;

    // Gives each reply completed in `text` to `onReply`, and returns the last
    // flow character seen. Text after a command went out (see
    // commandWritten) was received before that command and is left uncut.
    Flow cut(std::string_view text, const ReceiverDescription& receiver,
             const ReplyHandler& onReply);
    // A command went out: if a cut is under way, it stops after this reply.
    void commandWritten() {
        if (cutting_)
            wroteWhileCutting_ = true;
    }
    // Forgets the reply received so far.
    void clear() {
        partial_.clear();
        overlong_ = false;
    }
    const std::string& partial() const { return partial_; }

private:
    void endReply(const ReplyHandler& onReply);

    std::string partial_; // the reply being assembled
    bool overlong_ = false;
    bool cutting_ = false;
    bool wroteWhileCutting_ = false;
};

// The tuning commands an echoing receiver was sent last. After a resend it
// echoes every copy, and a copy's echo may come on either side of a report;
// one that came after the swallowing ended would read as a signal at level
// "T", so the recent ones are never reports.
class TuningEchoes {
public:
    void remember(const std::string& command) {
        recent_[next_] = command;
        next_ = (next_ + 1) % kKept;
    }
    bool isRecent(std::string_view reply) const {
        for (const std::string& echo : recent_)
            if (!echo.empty() && reply == echo)
                return true;
        return false;
    }
    void forget() {
        for (std::string& echo : recent_)
            echo.clear();
    }

private:
    static constexpr std::size_t kKept = 4;
    std::string recent_[kKept];
    std::size_t next_ = 0;
};

} // namespace kovo

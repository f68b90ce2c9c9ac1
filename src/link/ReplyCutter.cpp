#include "link/ReplyCutter.h"

namespace kovo {

namespace {

// Line characters: they end a reply where the receiver's description says
// so and are dropped otherwise; none is ever part of a reply.
constexpr std::string_view kLineCharacters = "\r\n>";
constexpr char kXOn = 0x11;
constexpr char kXOff = 0x13;

} // namespace

ReplyCutter::Flow ReplyCutter::cut(std::string_view text, const ReceiverDescription& receiver,
                                   const ReplyHandler& onReply) {
    Flow flow = Flow::Unknown;
    // A reply handler that runs an event loop (a modal dialog of another
    // program's making) must not garble the cutting: an inner call cuts its
    // own text and the outer one carries on.
    const bool outerCutting = cutting_;
    const bool outerWrote = wroteWhileCutting_;
    cutting_ = true;
    wroteWhileCutting_ = false;
    for (char c : text) {
        if (wroteWhileCutting_)
            break;
        if (receiver.endsReply(c)) {
            endReply(onReply);
        } else if (kLineCharacters.find(c) != std::string_view::npos) {
            // dropped: never part of a reply
        } else if (c == kXOn) {
            flow = Flow::On;
        } else if (c == kXOff) {
            flow = Flow::Off;
        } else if (partial_.size() < kMaxReplyLength) {
            partial_ += c;
        } else {
            overlong_ = true;
        }
    }
    cutting_ = outerCutting;
    wroteWhileCutting_ = outerWrote || (outerCutting && wroteWhileCutting_);
    return flow;
}

void ReplyCutter::endReply(const ReplyHandler& onReply) {
    std::string reply;
    reply.swap(partial_);
    if (overlong_) {
        reply.clear();
        overlong_ = false;
    }
    onReply(reply);
}

} // namespace kovo

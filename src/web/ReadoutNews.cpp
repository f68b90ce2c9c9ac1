#include "web/ReadoutNews.h"

#include "scan/ReceiverCore.h"

namespace kovo::web {

ReadoutNews::ReadoutNews(CKovo5Doc& doc, ReceiverCore& core, std::function<void()> changed)
    : changed_(std::move(changed)) {
    const auto any = [this](const auto&) { changed_(); };
    subscriptions_ = {
        core.attachView(*this),          core.linkNotices().subscribe(any),
        core.scanStops().subscribe(any), core.hits().subscribe(any),
        core.movesOn().subscribe(any),   doc.changes().subscribe(any),
    };
}

} // namespace kovo::web

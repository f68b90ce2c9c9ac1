#pragma once
#include "data/Notifier.h"
#include "data/UiText.h"
#include "ipc/ExternalLink.h"
#include "ui/database/DatabaseSeams.h"

#include <functional>

namespace kovo {

// The companion recorder as the database panel reaches it: through the
// program's external link. Questions are the frame's, so none is answered
// here; a recorder that has nothing to play is reported through the
// program's message boxes once they exist.
class RecorderHost final : public DatabaseHost {
public:
    RecorderHost(ipc::ExternalLink& link, std::function<Notifier*()> notifier)
        : link_(link), notifier_(std::move(notifier)) {}

    bool confirmDeleteData(const std::string&) override { return false; }
    bool recorderLinked() const override { return link_.recorderLinked(); }
    bool startPlayback(std::uint32_t frequency, std::int32_t time,
                       const std::string& text) override {
        link_.startPlayback(frequency, time, text, [this] {
            if (Notifier* n = notifier_())
                n->showMessage(uiText("Database", kNoAudioMessage));
        });
        return true;
    }
    void stopPlayback() override { link_.stopPlayback(); }
    void tunedFromList(std::uint32_t frequency, const std::string& comment) override {
        link_.tunedFromList(frequency, comment);
    }
    void bankNamesChanged() override { link_.bankNamesChanged(); }

private:
    ipc::ExternalLink& link_;
    std::function<Notifier*()> notifier_;
};

} // namespace kovo

#pragma once
// The database panel's host (dialogs, recorder, frame) with what it was asked
// recorded; its answers are set by the test.
#include "ui/database/DatabaseSeams.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kovo::test {

struct FakeDatabaseHost : DatabaseHost {
    bool confirm = true;
    bool linked = false;
    bool hasAudio = true;
    // Answers later, as a dialog that does not block would.
    bool answerLater = false;
    std::function<void(bool)> pendingAnswer;
    // Runs while the question is on screen (the scan goes on meanwhile).
    std::function<void()> whileAsking;
    std::vector<std::string> questions;
    std::vector<std::uint32_t> playbacks;
    int stops = 0, bankNotices = 0;
    bool confirmDeleteData(const std::string& q) override {
        questions.push_back(q);
        if (whileAsking)
            whileAsking();
        return confirm;
    }
    void askDeleteData(const std::string& q, std::function<void(bool)> answer) override {
        if (!answerLater) {
            DatabaseHost::askDeleteData(q, std::move(answer));
            return;
        }
        questions.push_back(q);
        pendingAnswer = std::move(answer);
    }
    bool recorderLinked() const override { return linked; }
    bool startPlayback(std::uint32_t f, std::int32_t, const std::string&) override {
        playbacks.push_back(f);
        return hasAudio;
    }
    void stopPlayback() override { ++stops; }
    void tunedFromList(std::uint32_t, const std::string&) override {}
    void bankNamesChanged() override { ++bankNotices; }
};

} // namespace kovo::test

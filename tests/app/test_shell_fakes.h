#pragma once
// Stand-ins for the dialogs and message boxes of the shell: no test may wait
// on a modal dialog, so every question is answered from a script.
#include "app/DocumentController.h"
#include "data/Notifier.h"

#include <QString>
#include <deque>
#include <string>
#include <vector>

namespace kovo::test {

class RecordingNotifier final : public Notifier {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return nextAnswer() == Answer::Yes;
    }
    Answer askYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        return nextAnswer();
    }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<Answer> answers; // scripted replies; Cancel when empty

private:
    Answer nextAnswer() {
        if (answers.empty())
            return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class ScriptedDialogs final : public FileDialogs {
public:
    QString openFileName(const QString& directory) override {
        openDirectories.push_back(directory);
        return take();
    }
    QString saveFileName(const QString& proposedPath) override {
        proposedSaves.push_back(proposedPath);
        return take();
    }
    QString exportFileName(const QString& directory) override {
        openDirectories.push_back(directory);
        return take();
    }

    std::deque<QString> replies; // empty string = cancelled
    std::vector<QString> openDirectories;
    std::vector<QString> proposedSaves;

private:
    QString take() {
        if (replies.empty())
            return {};
        QString r = replies.front();
        replies.pop_front();
        return r;
    }
};

} // namespace kovo::test

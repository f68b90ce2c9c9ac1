#pragma once
// Stand-ins for the dialogs and message boxes of the shell: no test may wait
// on a modal dialog, so every question is answered from a script.
#include "app/DocumentController.h"
#include "data/Notifier.h"
#include "link/CommPort.h"
#include "link/TimerService.h"

#include <QFile>
#include <QString>
#include <deque>
#include <ostream>
#include <map>
#include <string>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

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

// Timers that fire only when the test says so.
class ManualTimers final : public TimerService {
public:
    void setTimer(int id, int intervalMs) override { running[id] = intervalMs; }
    void killTimer(int id) override { running.erase(id); }
    bool isTimerActive(int id) const override { return running.count(id) != 0; }
    void setHandler(Handler handler) override { handler_ = std::move(handler); }

    // Fires a running timer once; false when it is not running.
    bool fire(int id) {
        if (!isTimerActive(id) || !handler_)
            return false;
        handler_(id);
        return true;
    }
    std::map<int, int> running;

private:
    Handler handler_;
};

// A serial port that only remembers whether it is open and what was written.
class RecordingPort final : public CommPort {
public:
    void setCommPort(int n) override { portNumber = n; }
    void setSettings(const std::string& s) override { settings = s; }
    void setHandshaking(int) override {}
    void setInBufferSize(int) override {}
    void setOutBufferSize(int) override {}
    void setInBufferCount(int) override {}
    void setOutBufferCount(int) override {}
    void setNullDiscard(bool) override {}
    void setRThreshold(int) override {}
    void setSThreshold(int) override {}
    bool portOpen() const override { return open; }
    void setPortOpen(bool o) override {
        open = o;
        openings.push_back(o);
    }
    void output(const std::string& text) override { written += text; }
    std::string input() override { return {}; }
    void setEventHandler(EventHandler h) override { handler = std::move(h); }

    bool open = false;
    int portNumber = 0;
    std::string settings;
    std::string written;
    std::vector<bool> openings;
    EventHandler handler;
};

// A document whose file operations only log what they are asked and succeed
// unless told otherwise; the log also takes entries from the test (such as the
// serial port hooks), so the order of closing, reading and reopening shows.
class LoggingDocument final : public DocumentFile {
public:
    void newDocument() override {
        log.push_back("new");
        modified = false;
    }
    bool read(const std::string& path, std::string& error) override {
        log.push_back("read " + path);
        if (!QFile::exists(QString::fromStdString(path))) {
            error = path + " was not found.";
            return false;
        }
        modified = false;
        return true;
    }
    bool write(const std::string& path, std::string& error) override {
        log.push_back("write " + path);
        if (failWrites) {
            error = "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。";
            return false;
        }
        QFile(QString::fromStdString(path)).open(QIODevice::WriteOnly);
        modified = false;
        return true;
    }
    bool exportFile(const std::string& path, int kind, bool csv) override {
        log.push_back("export " + path + " " + std::to_string(kind) + (csv ? " csv" : " txt"));
        return true;
    }
    bool isModified() const override { return modified; }

    std::vector<std::string> log;
    bool modified = false;
    bool failWrites = false;
};

} // namespace kovo::test

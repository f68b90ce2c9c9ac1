#pragma once
// Stand-ins for the dialogs and message boxes of the shell: no test may wait
// on a modal dialog, so every question is answered from a script.
#include "app/DocumentController.h"
#include "data/Notifier.h"

#include <QFile>
#include <QString>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kovo::test {

class ScriptedNotifier final : public Notifier {
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
    // The reply is the name typed, with the file type of exportTypes chosen
    // (text when none is scripted).
    ExportTarget exportTarget(const QString& proposedPath) override {
        proposedExports.push_back(proposedPath);
        ExportFileType type = ExportFileType::Text;
        if (!exportTypes.empty()) {
            type = exportTypes.front();
            exportTypes.pop_front();
        }
        return exportTargetFor(take(), type);
    }

    std::deque<QString> replies; // empty string = cancelled
    std::deque<ExportFileType> exportTypes;
    std::vector<QString> proposedExports;
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
        modified = readMarksModified;
        error = readNotice;
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
    bool exportFile(const std::string& path, int kind, bool csv, std::string& error) override {
        log.push_back("export " + path + " " + std::to_string(kind) + (csv ? " csv" : " columns"));
        error = failWrites ? "export failed" : exportNotice;
        return !failWrites;
    }
    bool isModified() const override { return modified; }
    void setModified(bool value) override { modified = value; }

    std::vector<std::string> log;
    bool modified = false;
    bool readMarksModified = false; // as reading a converted file does
    std::string readNotice;         // what a successful read tells the user
    std::string exportNotice;       // what a successful export tells the user
    bool failWrites = false;
};

} // namespace kovo::test

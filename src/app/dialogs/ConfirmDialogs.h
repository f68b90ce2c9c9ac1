#pragma once
#include "app/dialogs/KovoDialog.h"
#include "ui/database/DatabaseSeams.h"

namespace kovo {

// "  Delete DATA": asks before records or the log are thrown away; the caller
// gives the question. exec() returns Accepted for OK.
class DeleteDataDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit DeleteDataDialog(const QString& question, QWidget* parent = nullptr);

    // "選択された %d 個のデータを削除します"
    static QString deleteSelectedQuestion(int count);
    // "ログデータを消去します よろしいですか？"
    static QString clearLogQuestion();
};

// " Owerwrite": asks whether a stored channel on the same frequency is replaced.
class OverwriteDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit OverwriteDialog(QWidget* parent = nullptr);
};

// What the database panel asks of the frame: dialog 364 before anything is
// thrown away; the recorder's part goes to the recorder link when there is one.
class DeleteDataHost final : public DatabaseHost {
public:
    explicit DeleteDataHost(QWidget* parent) : parent_(parent) {}
    void setRecorder(DatabaseHost* recorder) { recorder_ = recorder; }

    bool confirmDeleteData(const std::string& question) override;
    // Opens the dialog and returns at once; `answer` is called when the user
    // closes it. No nested event loop runs meanwhile.
    void askDeleteData(const std::string& question, std::function<void(bool)> answer) override;
    bool recorderLinked() const override { return recorder_ && recorder_->recorderLinked(); }
    bool startPlayback(std::uint32_t frequency, std::int32_t time,
                       const std::string& text) override {
        return !recorder_ || recorder_->startPlayback(frequency, time, text);
    }
    void stopPlayback() override {
        if (recorder_)
            recorder_->stopPlayback();
    }
    void tunedFromList(std::uint32_t frequency, const std::string& comment) override {
        if (recorder_)
            recorder_->tunedFromList(frequency, comment);
    }
    void bankNamesChanged() override {
        if (recorder_)
            recorder_->bankNamesChanged();
    }

private:
    QWidget* parent_;
    DatabaseHost* recorder_ = nullptr;
};

} // namespace kovo

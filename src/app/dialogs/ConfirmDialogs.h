#pragma once
#include "app/dialogs/KovoDialog.h"

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

} // namespace kovo

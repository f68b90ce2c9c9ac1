#include "app/dialogs/ConfirmDialogs.h"

#include <QCoreApplication>
#include <QLabel>

namespace kovo {

DeleteDataDialog::DeleteDataDialog(const QString& question, QWidget* parent)
    : KovoDialog(QCoreApplication::translate("DeleteDataDialog", "  Delete DATA"), 138, 37,
                 parent) {
    // The question may be longer than the line laid out for it; the dialog
    // widens rather than cut it off.
    const int widthDu = widthFittingDu(question, 4, 6, 138);
    resizeDu(widthDu, 37);

    QLabel* text = addLabel(question, du(4, 4, widthDu - 10, 12));
    text->setObjectName(QStringLiteral("question"));
    addOk(du(4, 20, 28, 14));
    addCancel(du(widthDu - 34, 20, 28, 14));
}

QString DeleteDataDialog::deleteSelectedQuestion(int count) {
    return QCoreApplication::translate("DeleteDataDialog", "選択された %1 個のデータを削除します")
        .arg(count);
}

QString DeleteDataDialog::clearLogQuestion() {
    return QCoreApplication::translate("DeleteDataDialog",
                                       "ログデータを消去します よろしいですか？");
}

OverwriteDialog::OverwriteDialog(QWidget* parent)
    : KovoDialog(QCoreApplication::translate("OverwriteDialog", " Owerwrite"), 110, 35, parent) {
    const QString question =
        QCoreApplication::translate("OverwriteDialog", "This Frequensy is exist. Owerwrite ?");
    const int widthDu = widthFittingDu(question, 4, 6, 110);
    resizeDu(widthDu, 35);

    QLabel* text = addLabel(question, du(4, 4, widthDu - 10, 12));
    text->setAlignment(Qt::AlignCenter);
    addOk(du(4, 20, 32, 14), QCoreApplication::translate("OverwriteDialog", "Owerwrite"));
    addCancel(du(widthDu - 38, 20, 34, 14));
}

bool DeleteDataHost::confirmDeleteData(const std::string& question) {
    DeleteDataDialog dialog(QString::fromStdString(question), parent_);
    return dialog.exec() == QDialog::Accepted;
}

void DeleteDataHost::askDeleteData(const std::string& question, std::function<void(bool)> answer) {
    auto* dialog = new DeleteDataDialog(QString::fromStdString(question), parent_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog, [answer = std::move(answer)](int result) {
        answer(result == QDialog::Accepted);
    });
    dialog->open();
}

} // namespace kovo

#include "app/ExportTarget.h"
#include "test_shell_fakes.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kovo {
namespace {

struct TargetCase {
    QString typed;
    ExportFileType chosen;
    QString path;
    bool csv;
};

TEST(ExportTargetTest, TheChosenTypeDecidesUnlessTheNameSaysTxtOrCsv) {
    using T = ExportFileType;
    const TargetCase cases[] = {
        {"/d/list", T::Text, "/d/list.txt", false},
        {"/d/list", T::Csv, "/d/list.csv", true},
        {"/d/list", T::All, "/d/list.txt", false},
        {"/d/list.TXT", T::Csv, "/d/list.TXT", false},
        {"/d/list.Csv", T::Text, "/d/list.Csv", true},
        {"/d/list.csv", T::All, "/d/list.csv", true},
        {"/d/list.dat", T::Text, "/d/list.dat", false},
        {"/d/list.dat", T::Csv, "/d/list.dat", true},
        {"/d/list.dat", T::All, "/d/list.dat", true},
        {"/d.v2/list", T::Csv, "/d.v2/list.csv", true},
    };
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + " " + std::to_string(static_cast<int>(c.chosen)));
        const ExportTarget target = exportTargetFor(c.typed, c.chosen);
        EXPECT_EQ(target.path, c.path);
        EXPECT_EQ(target.csv, c.csv);
    }
    EXPECT_TRUE(exportTargetFor(QString(), T::Csv).path.isEmpty()) << "cancelled";
}

TEST(ExportTargetTest, TheDialogStartsAtTheProposalAndAddsTheChosenTypesExtension) {
    QTemporaryDir dir;
    std::unique_ptr<QFileDialog> dialog(createExportDialog(nullptr, dir.filePath("Log.txt")));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(dialog->windowTitle(), "テキスト形式ファイル書き出し");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    EXPECT_EQ(dialog->nameFilters(), exportNameFilters());
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Log.txt");

    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    const QString suffixes[] = {"txt", "csv", "txt"};
    for (int i : {1, 2, 0, 1}) {
        types->setCurrentIndex(i);
        emit types->activated(i); // as a user's click does
        emit types->textActivated(types->itemText(i));
        EXPECT_EQ(dialog->defaultSuffix(), suffixes[i]) << i;
        EXPECT_EQ(exportFileTypeOf(dialog->selectedNameFilter()), static_cast<ExportFileType>(i));
    }
}

} // namespace
} // namespace kovo

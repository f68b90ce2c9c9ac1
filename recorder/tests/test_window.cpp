#include <gtest/gtest.h>

#include "Recorder.h"
#include "RecorderWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <fstream>

namespace kovo::recorder {
namespace {

TEST(RecorderWindow, ListsTheFolderNewestFirstWithANamedPlayButtonOnEveryRow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path folder = dir.path().toStdString();
    const char* names[] = {"20240101-080000Z_145.500000MHz.flac",
                           "20240101-090000Z_118.100000MHz.flac", "notes.txt"};
    int age = 3;
    for (const char* n : names) {
        std::ofstream(folder / n) << "x";
        std::filesystem::last_write_time(folder / n, std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(age--));
    }
    RecorderSettings settings;
    settings.folder = folder.string();
    Recorder recorder(settings); // not started: no bus, no sound server
    RecorderWindow window(recorder);

    auto* list = window.findChild<QTreeWidget*>();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QString::fromLatin1(names[1]));
    auto* play = qobject_cast<QAbstractButton*>(list->itemWidget(list->topLevelItem(0), 1));
    ASSERT_TRUE(play);
    EXPECT_EQ(play->accessibleName(), QStringLiteral("Play ") + QString::fromLatin1(names[1]));
    EXPECT_FALSE(recorder.play(QStringLiteral("../") + QString::fromLatin1(names[0])))
        << "only files of the folder play";

    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QProgressBar*>(w) || qobject_cast<QTreeWidget*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        }
    }
    int namedStates = 0;
    for (QLabel* label : window.findChildren<QLabel*>())
        namedStates += (label->accessibleName() == QLatin1String("Link to KOVO3000") ||
                        label->accessibleName() == QLatin1String("File being written") ||
                        label->accessibleName() == QLatin1String("Disk space left"));
    EXPECT_EQ(namedStates, 3);
    EXPECT_EQ(window.findChild<QLineEdit*>()->text(), dir.path());
}

} // namespace
} // namespace kovo::recorder

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Every dialog, window and message box the program builds, rendered
// offscreen in both languages: in English no text may be left in another
// language, and none may be cut off by the widget that shows it.
#include "EnglishTexts.h"
#include "app/AboutBox.h"
#include "app/AppSettingsWriter.h"
#include "app/Language.h"
#include "app/QSettingsStore.h"
#include "app/WebRemoteService.h"
#include "app/dialogs/AfGainRangeDialog.h"
#include "app/dialogs/BandWidthDialog.h"
#include "app/dialogs/ChannelImportDialog.h"
#include "app/dialogs/CheckBoxDialogs.h"
#include "app/dialogs/ComPortDialog.h"
#include "app/dialogs/ConfirmDialogs.h"
#include "app/dialogs/CwPitchDialog.h"
#include "app/dialogs/RigctlDialog.h"
#include "app/dialogs/StepDialog.h"
#include "app/dialogs/WebRemoteDialog.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "data/CsvReader.h"
#include "data/FileErrors.h"
#include "ui/MessageBoxNotifier.h"
#include "ui/database/DatabaseMenus.h"
#include "ui/database/presenter/DatabaseViews.h"
#include "ui/history/HistoryWindow.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <functional>
#include <map>
#include <memory>
#include <set>

namespace kovo {
namespace {

using test::isEnglishText;
using test::problemsOf;

struct Parts {
    QTemporaryDir dir;
    QSettingsStore store{dir.filePath(QStringLiteral("KOVO3000.ini"))};
    AppSettings settings;
    AppSettingsWriter writer{settings, store};
    ManualClock clock{1'000'000'000'000};
    CKovo5Doc doc{settings, clock};
    MessageBoxNotifier messages;
    CsvTable csv;
};

using Build = std::function<std::unique_ptr<QWidget>(Parts&)>;

template <typename Dialog> Build withWriter() {
    return [](Parts& p) { return std::make_unique<Dialog>(p.writer); };
}

// A message box the program shows, as the user sees it.
Build messageBox(std::function<std::string()> text) {
    return [text = std::move(text)](Parts& p) -> std::unique_ptr<QWidget> {
        p.messages.showMessage(text());
        return std::unique_ptr<QWidget>(p.messages.openMessages().back());
    };
}

const std::vector<std::pair<const char*, Build>>& windows() {
    static const std::vector<std::pair<const char*, Build>> table{
        {"CW pitch", withWriter<CwPitchDialog>()},
        {"default band width", withWriter<BandWidthDialog>()},
        {"AF gain range", withWriter<AfGainRangeDialog>()},
        {"display preference", withWriter<DisplayPreferenceDialog>()},
        {"power control", withWriter<PowerControlDialog>()},
        {"options", withWriter<OptionsDialog>()},
        {"COM port",
         [](Parts& p) {
             return std::make_unique<ComPortDialog>(p.writer, QStringList{"/dev/ttyS0"});
         }},
        {"Hamlib network server",
         [](Parts&) { return std::make_unique<RigctlDialog>(RigctlSettings{}, nullptr); }},
        {"sub-step size", [](Parts&) { return std::make_unique<StepDialog>(16, [](int) {}); }},
        {"web remote",
         [](Parts&) {
             return std::make_unique<WebRemoteDialog>(
                 WebRemoteSettings{},
                 WebRemoteDialog::Actions{[](const WebRemoteSettings&) {},
                                          [] { return QStringLiteral("http://127.0.0.1:8073/"); },
                                          [] {}});
         }},
        {"delete data",
         [](Parts&) {
             return std::make_unique<DeleteDataDialog>(
                 DeleteDataDialog::deleteSelectedQuestion(12));
         }},
        {"clear log",
         [](Parts&) {
             return std::make_unique<DeleteDataDialog>(DeleteDataDialog::clearLogQuestion());
         }},
        {"overwrite", [](Parts&) { return std::make_unique<OverwriteDialog>(); }},
        {"about", [](Parts&) { return std::make_unique<AboutBox>(); }},
        {"import channels",
         [](Parts& p) {
             EXPECT_TRUE(readCsv("Channel,kHz,Label,Mode\n1,7074,FT8,USB\n", p.csv).ok());
             return std::make_unique<ChannelImportDialog>(p.csv, p.doc);
         }},
        {"history",
         [](Parts& p) {
             HistoryActions actions;
             actions.nowUtc = [] { return std::int64_t(1'000'000'000); };
             actions.showMessage = [](const QString&) {};
             return std::make_unique<HistoryWindow>(
                 p.dir.filePath(QStringLiteral("history.sqlite")).toStdString(), actions);
         }},
        {"channel table full",
         messageBox([] { return uiText("ChannelTable", CKovo5Doc::kChannelTableFullMessage); })},
        {"file error",
         messageBox([] { return withFileName(FileErrorText::PastEnd, "Frequency.kv5"); })},
    };
    return table;
}

// The windows whose classic texts are partly Japanese.
const QStringList kJapaneseOriginals{"delete data", "clear log", "about", "channel table full"};

class EnglishTextsTest : public ::testing::TestWithParam<bool> {
protected:
    EnglishTextsTest() {
        if (GetParam())
            installEnglish(*QCoreApplication::instance());
    }
    ~EnglishTextsTest() override { removeEnglish(*QCoreApplication::instance()); }
};

TEST_P(EnglishTextsTest, EveryWindowShowsItsTextsWholeAndInTheChosenLanguage) {
    const bool english = GetParam();
    for (const auto& [name, build] : windows()) {
        Parts parts;
        std::unique_ptr<QWidget> window = build(parts);
        window->show();
        QCoreApplication::processEvents();
        const QStringList problems = problemsOf(window.get(), english);
        EXPECT_TRUE(problems.isEmpty()) << name << ":\n" << problems.join(u'\n').toStdString();
        // Without English the classic texts stay, Japanese where they were.
        if (!english) {
            EXPECT_EQ(!problemsOf(window.get(), true).isEmpty(),
                      kJapaneseOriginals.contains(QString::fromLatin1(name)))
                << name;
        }
        window->close();
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, EnglishTextsTest, ::testing::Values(false, true),
                         [](const auto& param) {
                             return std::string(param.param ? "English" : "Japanese");
                         });

// In English each database view has one name in every menu, and the
// classic captions read as English: no stray blanks, no misleading words.
TEST(EnglishWordsTest, ViewsHaveOneNameAndCaptionsReadAsEnglish) {
    installEnglish(*QCoreApplication::instance());
    Parts p;
    std::map<int, std::set<QString>> viewNames;
    for (int view = 0; view < dblines::kListViewCount; ++view) {
        const std::unique_ptr<QMenu> menu = dbmenus::buildMenu(p.doc, p.settings, view, false, {});
        for (QAction* action : dbmenus::commandActions(*menu))
            if (const int command = action->data().toInt(); command >= 32783 && command <= 32873)
                viewNames[command].insert(action->text());
    }
    for (const int command : {32783, 32784, 32785, 32854, 32869}) {
        ASSERT_EQ(viewNames[command].size(), 1u) << command;
        EXPECT_TRUE(viewNames[command].begin()->endsWith(u's') ||
                    viewNames[command].begin()->endsWith(QStringLiteral("Backup")))
            << command;
    }
    const DisplayPreferenceDialog preference(p.writer);
    EXPECT_EQ(preference.windowTitle(), QStringLiteral("Display Preference"));
    EXPECT_EQ(preference.findChild<QCheckBox*>()->text(), QStringLiteral("Always on top"));
    const ComPortDialog port(p.writer, QStringList{});
    EXPECT_EQ(port.windowTitle(), QStringLiteral("COM Port Settings"));
    EXPECT_EQ(QCoreApplication::translate("MainWindow", "Display Preference(&T)"),
              QStringLiteral("&Display Preference…"));
    removeEnglish(*QCoreApplication::instance());
}

// A desktop with a large font (a high-density screen, large print) draws the
// titles larger than the dialogs' own text: a small dialog still shows its
// title whole.
TEST(DialogTitleTest, SmallDialogsShowTheirTitleWholeInALargeDesktopFont) {
    const QFont saved = QApplication::font();
    QFont large = saved;
    large.setPixelSize(24);
    QApplication::setFont(large);
    const QStringList small{"CW pitch",           "default band width", "AF gain range",
                            "display preference", "power control",      "options",
                            "sub-step size",      "delete data",        "overwrite"};
    for (const auto& [name, build] : windows()) {
        if (!small.contains(QString::fromLatin1(name)))
            continue;
        Parts parts;
        const std::unique_ptr<QWidget> dialog = build(parts);
        EXPECT_GE(dialog->width(), test::titleBarNeed(dialog.get())) << name;
    }
    QApplication::setFont(saved);
}

// The checks themselves: they must catch what they are for.
TEST(EnglishTextsCheckTest, FindsForeignAndClippedTextButAllowsDataGlyphs) {
    EXPECT_TRUE(isEnglishText(QStringLiteral("Bank ① Ｐ … 日本語 Malmö")));
    EXPECT_FALSE(isEnglishText(QStringLiteral("見つかりません")));
    EXPECT_FALSE(isEnglishText(QStringLiteral("О программе...")));
    QWidget root;
    auto* label = new QLabel(QStringLiteral("A caption far too long for its field"), &root);
    label->resize(40, 20);
    auto* fits = new QCheckBox(QStringLiteral("OK"), &root);
    fits->resize(200, 20);
    root.show();
    const QStringList problems = problemsOf(&root, true);
    ASSERT_EQ(problems.size(), 1) << problems.join(u'\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("clipped")));
}

} // namespace
} // namespace kovo

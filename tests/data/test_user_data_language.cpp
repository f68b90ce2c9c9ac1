// Texts the program writes into the user's data follow the run's language:
// English when chosen, the original CP932 bytes otherwise; both as wide.
#include <gtest/gtest.h>

#include "DataTestSupport.h"
#include "data/CKovo5Doc.h"
#include "data/FileErrors.h"
#include "data/UiText.h"

namespace kovo {
namespace {

constexpr std::int64_t kMarch7th2002At100509Jst = 1015463109;

class UserDataLanguageTest : public ::testing::Test {
protected:
    ~UserDataLanguageTest() override { setEnglishUserData(false); }

    // The comment of a channel stored at 150 MHz in a new document.
    std::string storedComment(bool english, bool autoStored) {
        setEnglishUserData(english);
        CKovo5Doc doc(settings, clock);
        const int row = doc.channelTable().storeChannel(150000000, autoStored);
        return doc.channels[static_cast<std::size_t>(row)]->comment;
    }
    std::string newDocumentComment(bool english) {
        setEnglishUserData(english);
        CKovo5Doc doc(settings, clock);
        return doc.mainRecord.comment;
    }

    AppSettings settings;
    ManualClock clock{kMarch7th2002At100509Jst * 1000};
};

TEST_F(UserDataLanguageTest, NewChannelCommentsAreEnglishOnlyWhenChosenAndAsWide) {
    struct Case {
        bool english;
        bool autoStored;
        const char* comment;
    };
    // What precedes the date and time, which every kind shares.
    const Case cases[] = {
        {false, true, "* \x8E\xA9\x93\xAE\x8B\x4C\x98\x5E "},
        {false, false, "* \x92\xC7\x89\xC1     "},
        {true, true, "* Auto-rec "},
        {true, false, "* Added    "},
    };
    const std::string original = storedComment(false, false);
    for (const Case& c : cases) {
        const std::string comment = storedComment(c.english, c.autoStored);
        EXPECT_EQ(comment.substr(0, 11), c.comment) << c.english << c.autoStored;
        EXPECT_EQ(comment.substr(11), original.substr(11)) << c.english << c.autoStored;
    }
}

TEST_F(UserDataLanguageTest, NewDocumentDefaultCommentFollowsTheLanguageWithinItsLength) {
    const std::string original = newDocumentComment(false);
    EXPECT_EQ(original.substr(0, 7), "144MHz\x83");
    const std::string english = newDocumentComment(true);
    EXPECT_EQ(english, "144MHz ham calling frequency");
    EXPECT_LE(english.size(), original.size());
}

std::string contextNamingTranslator(const char* context, const char* source) {
    return std::string(context) + ":" + source;
}

TEST(UiTextTest, TextsShowAsWrittenUntilATranslatorIsInstalled) {
    EXPECT_EQ(fileErrorText(FileErrorText::OpenFailed), std::string(FileErrorText::OpenFailed));
    setUiTextTranslator(&contextNamingTranslator);
    EXPECT_EQ(uiText("Export", "x"), "Export:x");
    // The file name goes in after translation, so it is never looked up.
    EXPECT_EQ(withFileName(FileErrorText::NotFound, "a.kv5"), "FileErrors:a.kv5 was not found.");
    setUiTextTranslator(nullptr);
    EXPECT_EQ(uiText("Export", "x"), "x");
}

} // namespace
} // namespace kovo

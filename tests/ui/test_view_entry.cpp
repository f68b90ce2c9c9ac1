// Typed and keypad frequency entry, limits, modes and normalisation.
#include "ViewFixture.h"

#include "ui/ControlPanel2.h"
#include "ui/DisplayPanel.h"
#include "ui/ImageKey.h"
#include "ui/KeypadPresenter.h"
#include "ui/PanelEdit.h"

#include "fakes/TypedFrequencyCases.h"

#include <QTest>

using namespace kovo;
using namespace kovo::test;

namespace {

class EntryTest : public ViewTest {
protected:
    EntryTest() {
        params().autoMode = 0;
        params().stepAdjust = 1;
        main().step = 10; // 20 kHz
        stack().show();
    }

    PanelEdit& field(DisplayPanel::Field f) { return stack().display().field(f); }

    void type(DisplayPanel::Field f, const QString& text, Qt::Key key = Qt::Key_Return) {
        PanelEdit& e = field(f);
        e.setFocus();
        e.selectAll();
        QTest::keyClicks(&e, text);
        QTest::keyClick(&e, key);
    }

    void press(std::initializer_list<int> pads) {
        for (int p : pads)
            QTest::mouseClick(&stack().control2().padKey(p), Qt::LeftButton);
    }

    QString frequencyText() { return field(DisplayPanel::FrequencyField).text(); }
};

} // namespace

TEST_F(EntryTest, TypedFrequencyOutsideTheRangeIsRefusedAndOneInsideSnapped) {
    main().frequency = 145'000'000;
    view->refreshPanels();
    for (const char* outside : {"3000", "0.05"}) {
        type(DisplayPanel::FrequencyField, outside);
        EXPECT_EQ(main().frequency, 145'000'000u) << outside;
        EXPECT_EQ(frequencyText(), " 145.000000") << outside;
    }
    type(DisplayPanel::FrequencyField, "145.0125");
    EXPECT_EQ(main().frequency, 145'000'000u) << "snapped down to the 20 kHz grid";
    params().stepAdjust = 0;
    type(DisplayPanel::FrequencyField, "145.01234");
    EXPECT_EQ(main().frequency, 145'012'300u) << "rounded down to 50 Hz only";
    EXPECT_EQ(params().tuningOffset, 12'300);
}

// Enter in the frequency field takes what every front end takes; anything
// else is refused with a beep and the reason, and the field shows the tuned
// frequency again rather than the refused text.
TEST_F(EntryTest, TypedFrequencyIsReadAsEveryFrontEndReadsIt) {
    params().stepAdjust = 0;
    PanelEdit& frequency = field(DisplayPanel::FrequencyField);
    for (const test::TypedFrequencyCase& c : test::kTypedFrequencyCases) {
        if (*c.text == '\0')
            continue; // an empty field is no entry: the fields are rewritten
        SCOPED_TRACE(c.text);
        main().frequency = 145'500'000;
        view->refreshPanels();
        type(DisplayPanel::FrequencyField, QString::fromLatin1(c.text));
        const std::uint32_t tuned = c.tuned ? *c.hz : 145'500'000u;
        EXPECT_EQ(main().frequency, tuned);
        EXPECT_EQ(frequencyText(), QString::fromStdString(formatMegahertz(tuned)));
        if (c.tuned)
            continue;
        EXPECT_TRUE(frequency.flashing());
        EXPECT_EQ(frequency.refusalReason(),
                  c.hz ? "The receiver cannot tune that frequency: it tunes 0.1 to 2040 MHz."
                       : "Not a frequency: type megahertz, such as 145.5.");
    }
}

TEST_F(EntryTest, EmptyEnterAndEscapeOnlyRewriteTheFields) {
    main().frequency = 145'500'000;
    view->refreshPanels();
    type(DisplayPanel::FrequencyField, "");
    EXPECT_EQ(main().frequency, 145'500'000u);
    type(DisplayPanel::FrequencyField, "433", Qt::Key_Escape);
    EXPECT_EQ(main().frequency, 145'500'000u);
    EXPECT_EQ(frequencyText(), " 145.500000") << "typed text discarded";
    // Any field takes a frequency; the comment field too.
    type(DisplayPanel::CommentField, "430");
    EXPECT_EQ(main().frequency, 430'000'000u);
    // Words typed there are not a frequency: the receiver stays put.
    type(DisplayPanel::CommentField, "Tower");
    EXPECT_EQ(main().frequency, 430'000'000u);
}

TEST_F(EntryTest, EnterTunesOnlyWhereTheModeAllowsIt) {
    for (int mode : {0, 1}) {
        params().operatingMode = mode;
        type(DisplayPanel::CommentField, "430");
        EXPECT_EQ(main().frequency, 145'000'000u) << mode;
    }
    for (int mode : {2, 3}) {
        params().operatingMode = mode;
        params().manualTuning = 0;
        type(DisplayPanel::CommentField, "430");
        EXPECT_EQ(main().frequency, 145'000'000u) << mode;
        params().manualTuning = 1;
        type(DisplayPanel::CommentField, "430");
        EXPECT_EQ(main().frequency, 430'000'000u) << mode;
        main().frequency = 145'000'000;
    }
    params().operatingMode = 4;
    type(DisplayPanel::CommentField, "430");
    EXPECT_EQ(main().frequency, 430'000'000u);
    // Words typed there are not a frequency: the receiver stays put.
    type(DisplayPanel::CommentField, "Tower");
    EXPECT_EQ(main().frequency, 430'000'000u);
}

TEST_F(EntryTest, FrequencyFieldReadOnlyInScanModes) {
    for (int mode = 0; mode < 6; ++mode) {
        view->showOperatingMode(static_cast<OperatingMode>(mode));
        EXPECT_EQ(field(DisplayPanel::FrequencyField).isReadOnly(), mode <= 2) << mode;
    }
}

TEST_F(EntryTest, KeypadEntersMegahertzAndKilohertz) {
    params().stepAdjust = 0;
    using P = ControlPanel2;
    press({1, 4, 5, P::Point, 5});
    EXPECT_EQ(frequencyText(), "      145.5") << "entry shown right-aligned as typed";
    press({P::Enter});
    EXPECT_EQ(main().frequency, 145'500'000u);
    EXPECT_EQ(frequencyText(), " 145.500000");
    press({1, 4, 5, P::Kilohertz});
    EXPECT_EQ(main().frequency, 145'000u);
    press({5, 0, P::Kilohertz});
    EXPECT_EQ(main().frequency, 100'000u);
    main().frequency = 145'000'000;
    press({P::Enter});
    EXPECT_EQ(main().frequency, 100'000u) << "an empty entry is 0, limited";
    press({4, 3, P::Clear});
    EXPECT_TRUE(view->keypad().entryText().empty());
    EXPECT_EQ(frequencyText(), "   0.100000");
}

TEST_F(EntryTest, KeypadSnapsToStepGridWithAdjust) {
    press({1, 4, 5, ControlPanel2::Kilohertz});
    EXPECT_EQ(main().frequency, 140'000u);
}

TEST_F(EntryTest, KeypadIgnoredInScanModes) {
    for (int mode : {0, 1, 2}) {
        params().operatingMode = mode;
        press({1, 4, 5, ControlPanel2::Enter});
        EXPECT_EQ(main().frequency, 145'000'000u) << mode;
        EXPECT_TRUE(view->keypad().entryText().empty());
    }
}

TEST_F(EntryTest, AutoModeRangeSetsStepAndOffset) {
    CAutoBank& range = doc.autoRanges[3];
    range.inUse = 1;
    range.startFrequency = 144'006'250;
    range.stopFrequency = 146'000'000;
    range.step = 8; // 12.5 kHz
    range.mode = 6; // SAM becomes AM without the option
    params().autoMode = 1;
    type(DisplayPanel::FrequencyField, "145");
    EXPECT_EQ(main().frequency, 145'006'250u);
    EXPECT_EQ(main().step, 8);
    EXPECT_EQ(main().mode, 2);
}

TEST_F(EntryTest, TunedFrequencyTakesTheStoredChannelsName) {
    main().comment = "x";
    addChannel(145'500'000);
    doc.channels[0]->comment = "\x83\x65\x83\x58\x83\x67"; // "テスト" in code page 932
    doc.channels[0]->bankMask = 1 << 3;
    doc.memoryBanks[3].name = "Air";
    type(DisplayPanel::FrequencyField, "145.5");
    EXPECT_EQ(field(DisplayPanel::CommentField).text(), QString::fromUtf8("テスト"));
    EXPECT_EQ(field(DisplayPanel::BankField).text(), "   3");
    EXPECT_EQ(field(DisplayPanel::NameField).text(), "Air");
    type(DisplayPanel::FrequencyField, "146");
    EXPECT_EQ(field(DisplayPanel::CommentField).text(), "");
    EXPECT_EQ(field(DisplayPanel::BankField).text(), "   0");
    EXPECT_EQ(field(DisplayPanel::NameField).text(), "");
    EXPECT_EQ(field(DisplayPanel::ChannelField).text(), "   0");
}

// A window that just opened gives the keyboard to the first field of its tab
// chain: that must be the frequency field, so a frequency can be typed at once.
TEST_F(EntryTest, FrequencyFieldHeadsTheTabChain) {
    QWidget* w = &stack();
    do {
        w = w->nextInFocusChain();
    } while (w != &stack() && !((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&stack())));
    EXPECT_EQ(w, &field(DisplayPanel::FrequencyField));
    // Tab goes on to the bank field, and a click on a panel key never takes
    // the focus (Tab alone reaches the keys).
    QWidget* next = w->nextInFocusChain();
    EXPECT_EQ(next, &field(DisplayPanel::BankField));
    EXPECT_FALSE(stack().control2().padKey(ControlPanel2::Enter).focusPolicy() & Qt::ClickFocus);
}

// Enter reads a field as a frequency only when its whole text is one; other
// text is refused (the field flashes and says why), nothing tunes, and the
// fields show the record again.
TEST_F(EntryTest, TextThatIsNotWhollyAFrequencyIsRefusedWithTheReason) {
    params().stepAdjust = 0;
    struct Case {
        DisplayPanel::Field field;
        const char* text;
    };
    const Case refused[] = {
        {DisplayPanel::CommentField, "2m amateur 145.600"},
        {DisplayPanel::BankField, "12 Air"},
        {DisplayPanel::FrequencyField, "1e3"},
        {DisplayPanel::FrequencyField, "0x10"},
        {DisplayPanel::FrequencyField, "145.5.5"},
        {DisplayPanel::FrequencyField, "-145"},
    };
    for (const Case& c : refused) {
        type(c.field, QString::fromLatin1(c.text));
        EXPECT_EQ(main().frequency, 145'000'000u) << c.text;
        EXPECT_NE(field(c.field).text(), QString::fromLatin1(c.text)) << "the record shown again";
        EXPECT_EQ(frequencyText(), " 145.000000") << c.text;
        EXPECT_TRUE(field(c.field).flashing()) << c.text;
        EXPECT_FALSE(field(c.field).refusalReason().isEmpty()) << c.text;
    }
    // A comma stands for the point.
    type(DisplayPanel::FrequencyField, "145,5");
    EXPECT_EQ(main().frequency, 145'500'000u);
    EXPECT_EQ(frequencyText(), " 145.500000");
}

// The keypad entry stays a number that fits the frequency window: a second
// point or a twelfth character is refused with a flash, the entry stays shown.
TEST_F(EntryTest, KeypadEntryIsBoundedAndRefusesASecondPoint) {
    params().stepAdjust = 0;
    using P = ControlPanel2;
    PanelEdit& f = field(DisplayPanel::FrequencyField);
    press({P::Point, P::Point, P::Point, 5, P::Point, 5});
    EXPECT_EQ(view->keypad().entryText(), ".55");
    EXPECT_TRUE(f.flashing());
    press({P::Enter});
    EXPECT_EQ(main().frequency, 550'000u);

    press({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1});
    EXPECT_EQ(frequencyText(), "12345678901") << "eleven characters, all shown";
    press({2});
    EXPECT_EQ(view->keypad().entryText(), "12345678901");
    press({P::Clear, P::Point});
    EXPECT_EQ(frequencyText(), "          .");
    press({P::Kilohertz});
    EXPECT_EQ(frequencyText(), "          .") << "a lone point is no number: kept";
    EXPECT_EQ(main().frequency, 550'000u);
}

// Up and Down in the frequency field turn the knob: a main step, or the
// sub-step with Ctrl.
TEST_F(EntryTest, UpAndDownInTheFrequencyFieldStepTheTuning) {
    params().subStep = 3; // 1 kHz
    params().stepAdjust = 0;
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {Qt::Key_Up, Qt::NoModifier, 145'020'000},
        {Qt::Key_Down, Qt::NoModifier, 145'000'000},
        {Qt::Key_Down, Qt::ControlModifier, 144'999'000},
        {Qt::Key_Up, Qt::ControlModifier, 145'000'000},
    };
    PanelEdit& f = field(DisplayPanel::FrequencyField);
    f.setFocus();
    for (const Case& c : cases) {
        QTest::keyClick(&f, c.key, c.modifiers);
        EXPECT_EQ(main().frequency, c.expected) << c.key << ' ' << int(c.modifiers);
    }
    EXPECT_EQ(frequencyText(), " 145.000000");
}

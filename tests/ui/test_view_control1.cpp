// Control panel 1: mode keys, lists, switches, store keys and the direction pad.
#include "ViewFixture.h"

#include "link/ReceiverDescription.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2.h"
#include "ui/DirectionPad.h"
#include "ui/ImageKey.h"
#include "ui/PanelList.h"
#include "ui/PanelSlider.h"
#include "ui/PanelStack.h"
#include "ui/PanelTooltips.h"
#include "ui/StripPanels.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace kovo;
using namespace kovo::test;

namespace {

class Control1Test : public ViewTest {
protected:
    Control1Test() { stack().show(); }

    ControlPanel1& panel() { return stack().control1(); }
    void click(int key) { QTest::mouseClick(&panel().key(key), Qt::LeftButton); }
    int keyState(int key) { return panel().key(key).state(); }

    void chooseStep(int row) { emit panel().stepList().activated(row); }
    void chooseAttenuator(int row) {
        panel().attList().setCurrentIndex(row);
        emit panel().attList().activated(row);
    }

    // Mouse events on the pad, in pad coordinates, with the buttons held.
    void padEvent(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
        DirectionPad& pad = panel().pad();
        const QPointF local(x, 10);
        QMouseEvent e(type, local, pad.mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(&pad, &e);
    }
    void dragPad(std::initializer_list<int> xs, Qt::MouseButton button = Qt::LeftButton) {
        auto it = xs.begin();
        padEvent(QEvent::MouseButtonPress, *it, button, button);
        for (++it; it != xs.end(); ++it)
            padEvent(QEvent::MouseMove, *it, Qt::NoButton, button);
        padEvent(QEvent::MouseButtonRelease, *(xs.end() - 1), button, Qt::NoButton);
    }
};

} // namespace

TEST_F(Control1Test, ModeKeysSetModeAndDefaultIfBandwidth) {
    settings.nfmBandWidth = 2;
    settings.wfmBandWidth = 0;
    settings.amBandWidth = 1;
    main().ifBandwidth = 6;
    click(ControlPanel1::Nfm);
    EXPECT_EQ(main().mode, 0);
    EXPECT_EQ(main().ifBandwidth, 4);
    EXPECT_EQ(stack().control2().shownIfBandwidth(), 4);
    click(ControlPanel1::Wfm);
    EXPECT_EQ(main().ifBandwidth, 5);
    EXPECT_EQ(keyState(ControlPanel1::Wfm), 1);
    EXPECT_EQ(keyState(ControlPanel1::Nfm), 0) << "the old mode key goes off";
    click(ControlPanel1::Usb);
    EXPECT_EQ(main().mode, 4);
    EXPECT_EQ(main().ifBandwidth, 1);
    click(ControlPanel1::Cw);
    EXPECT_EQ(main().ifBandwidth, 1);
    settings.optFilter = 1;
    click(ControlPanel1::Cw);
    EXPECT_EQ(main().ifBandwidth, 0);
    click(ControlPanel1::Am);
    EXPECT_EQ(main().ifBandwidth, 3);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(Control1Test, AmKeyCyclesWithTheSynchronousAmOption) {
    click(ControlPanel1::Am);
    click(ControlPanel1::Am);
    EXPECT_EQ(main().mode, 2) << "without OptSam the AM key always gives AM";
    settings.optSam = 1;
    const int modes[] = {6, 7, 8, 2};
    const int images[] = {2, 3, 4, 1};
    for (int i = 0; i < 4; ++i) {
        click(ControlPanel1::Am);
        EXPECT_EQ(main().mode, modes[i]);
        EXPECT_EQ(keyState(ControlPanel1::Am), images[i]) << "the AM key reads the variant";
    }
}

TEST_F(Control1Test, AttenuatorRefusedInMemoryScan) {
    params().operatingMode = 0;
    main().attenuator = 0;
    chooseAttenuator(1);
    EXPECT_EQ(main().attenuator, 0);
    EXPECT_EQ(panel().attList().currentIndex(), 0) << "the list snaps back";
    params().operatingMode = 5;
    chooseAttenuator(1);
    EXPECT_EQ(main().attenuator, 1);
    EXPECT_EQ(core.sendNexts, 0) << "the AR3000A hears of it at the next turn of the loop";
    settings.device = 0;
    chooseAttenuator(0);
    EXPECT_EQ(core.sendNexts, 1) << "the AR3000 is asked at once";
}

TEST_F(Control1Test, StepListInVfoFollowsAutoModeRange) {
    CAutoBank& range = doc.autoRanges[0];
    range.inUse = 1;
    range.startFrequency = 144'000'000;
    range.stopFrequency = 146'000'000;
    range.step = 8;
    params().autoMode = 1;
    chooseStep(4); // "6.25kz"
    EXPECT_EQ(main().step, 8) << "the band's own step wins";
    EXPECT_EQ(panel().stepList().currentIndex(), 7);
    params().autoMode = 0;
    chooseStep(4);
    EXPECT_EQ(main().step, 5);
    EXPECT_EQ(panel().stepList().currentIndex(), 4);
}

TEST_F(Control1Test, ListsFollowTheTunedRecord) {
    main().step = 0;
    main().attenuator = 3;
    view->refreshPanels();
    EXPECT_EQ(panel().stepList().currentIndex(), 0) << "index 0 shows the first row";
    EXPECT_EQ(panel().attList().currentIndex(), 0) << "indices above 1 show 0dB";
    main().step = 12;
    main().attenuator = 1;
    view->refreshPanels();
    EXPECT_EQ(panel().stepList().currentText(), " 50kHz");
    EXPECT_EQ(panel().attList().currentText(), "  10dB");
}

TEST_F(Control1Test, VfoDragTunesOneStepPerEightPixels) {
    params().autoMode = 0;
    params().stepAdjust = 1;
    main().step = 10; // 20 kHz
    dragPad({10, 17});
    EXPECT_EQ(main().frequency, 145'000'000u) << "7 pixels do not tune";
    dragPad({17, 18});
    EXPECT_EQ(main().frequency, 145'020'000u) << "the eighth pixel in the same direction does";
    EXPECT_EQ(params().direction, 1);
    EXPECT_EQ(panel().pad().image(), 0) << "dark again after release in VFO";
    padEvent(QEvent::MouseButtonPress, 40, Qt::LeftButton, Qt::LeftButton);
    padEvent(QEvent::MouseMove, 30, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(panel().pad().image(), 1) << "down: left arrow lit while dragging";
    padEvent(QEvent::MouseMove, 20, Qt::NoButton, Qt::LeftButton);
    padEvent(QEvent::MouseMove, 16, Qt::NoButton, Qt::LeftButton);
    padEvent(QEvent::MouseButtonRelease, 16, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(main().frequency, 144'960'000u) << "24 pixels down: three steps";
    EXPECT_EQ(params().direction, 0);
}

TEST_F(Control1Test, RightDragUsesTheSubStep) {
    params().autoMode = 0;
    params().stepAdjust = 1;
    main().step = 10;
    params().subStep = 16; // ten times the main step
    dragPad({0, 8}, Qt::RightButton);
    EXPECT_EQ(main().frequency, 145'200'000u);
    params().subStep = 3; // 1 kHz
    params().stepAdjust = 0;
    dragPad({0, 16}, Qt::RightButton);
    EXPECT_EQ(main().frequency, 145'202'000u);
}

TEST_F(Control1Test, VfoDragStopsAtTheBandEdges) {
    params().autoMode = 0;
    main().frequency = 160'000;
    main().step = 12; // 50 kHz
    dragPad({100, 0});
    EXPECT_EQ(main().frequency, 100'000u) << "no wrap round below 0 Hz";
    main().frequency = 2'039'990'000;
    dragPad({0, 100});
    EXPECT_EQ(main().frequency, 2'040'000'000u);
}

TEST_F(Control1Test, PadInScanModesStepsTheScanOnceAMove) {
    params().operatingMode = 0;
    dragPad({50, 49, 60, 60});
    EXPECT_EQ(core.memorySteps, 3) << "every move steps, a move of 0 counts as down";
    EXPECT_EQ(params().direction, 0);
    EXPECT_EQ(panel().pad().image(), 1);
    params().operatingMode = 1;
    dragPad({50, 51});
    EXPECT_EQ(core.searchSteps, 1);
    params().operatingMode = 2;
    dragPad({50, 51});
    EXPECT_EQ(core.oneMhzSteps, 1);
    params().operatingMode = 4;
    panel().pad().setImage(0);
    dragPad({50, 60});
    EXPECT_EQ(params().direction, 1);
    EXPECT_EQ(panel().pad().image(), 0) << "static scope leaves the pad dark";
    EXPECT_EQ(main().frequency, 145'000'000u);
}

TEST_F(Control1Test, SwitchKeys) {
    click(ControlPanel1::Log);
    EXPECT_EQ(params().logging, 1);
    EXPECT_TRUE(core.state->newLogEntryMain);
    EXPECT_EQ(keyState(ControlPanel1::Log), 1);
    click(ControlPanel1::Moni);
    EXPECT_EQ(params().fgSwitch, 1);
    click(ControlPanel1::Auto);
    EXPECT_EQ(params().autoMode, 0);
    EXPECT_EQ(keyState(ControlPanel1::Auto), 0);
    click(ControlPanel1::Pri);
    EXPECT_EQ(core.priorityToggles, 1);
    click(ControlPanel1::Static);
    EXPECT_EQ(core.modes.back(), 4);
    EXPECT_EQ(keyState(ControlPanel1::Static), 1);
    EXPECT_EQ(keyState(ControlPanel1::Vfo), 0);
}

TEST_F(Control1Test, MonitorAndAutoStoreKeysMarkTheDocumentModified) {
    doc.setModified(false);
    click(ControlPanel1::Moni);
    EXPECT_TRUE(doc.isModified());
    doc.setModified(false);
    click(ControlPanel1::AsM);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(Control1Test, AutoStoreKeyMovesThePauseSlider) {
    params().levelAutoStoreOn = 5;
    params().levelAutoStoreOff = 60;
    view->refreshAll();
    PanelSlider& pause = stack().control2().pauseSlider();
    EXPECT_EQ(pause.value(), 60);
    click(ControlPanel1::AsM);
    EXPECT_EQ(params().autoStore, 1);
    EXPECT_EQ(pause.value(), 5);
    // The slider writes the pause time that applies.
    pause.setFocus();
    QTest::keyClick(&pause, Qt::Key_Right);
    EXPECT_EQ(params().levelAutoStoreOn, 6);
    EXPECT_EQ(params().levelAutoStoreOff, 60);
    click(ControlPanel1::AsM);
    EXPECT_EQ(pause.value(), 60);
}

TEST_F(Control1Test, VoiceSquelchKeyOnlyForTheAr3000A) {
    EXPECT_TRUE(panel().key(ControlPanel1::Vcs).isVisible());
    settings.device = 0;
    view->refreshAll();
    EXPECT_FALSE(panel().key(ControlPanel1::Vcs).isVisible());
    EXPECT_TRUE(panel().key(ControlPanel1::Pause).isVisible());
}

// What the receiver lacks is shown disabled with why, and its key does
// nothing; what it has stays usable.
TEST_F(Control1Test, WhatTheReceiverLacksIsDisabledWithWhy) {
    ReceiverFeatures f = ReceiverFeatures::of(kHamlibDescription);
    f.lack(ReceiverFeature::WideFm, "no WFM here");
    f.lack(ReceiverFeature::VoiceSquelch, "no VCS here");
    f.lack(ReceiverFeature::Attenuator, "no attenuator here");
    f.lack(ReceiverFeature::ToneSearch, "no tones here");
    f.lack(ReceiverFeature::ToneEliminator, "no T-ELM here");
    core.features = f;
    view->refreshAll();
    const int modeBefore = doc.mainRecord.mode;
    click(ControlPanel1::Wfm);
    EXPECT_EQ(doc.mainRecord.mode, modeBefore);
    const struct {
        QWidget* widget;
        bool enabled;
        const char* tip;
    } cases[] = {
        {&panel().key(ControlPanel1::Wfm), false, "no WFM here"},
        {&panel().key(ControlPanel1::Vcs), false, "no VCS here"},
        {&panel().attList(), false, "no attenuator here"},
        {&stack().ctcss().scanKey(), false, "no tones here"},
        {&stack().tElm().slider(), false, "no T-ELM here"},
        {&panel().key(ControlPanel1::Nfm), true, ""},
        {&panel().key(ControlPanel1::Pause), true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.widget->isEnabled(), c.enabled) << c.tip;
        // The reason follows what the control does; a usable control says
        // only what it does.
        const QString ordinary = ordinaryTooltip(*c.widget);
        EXPECT_FALSE(ordinary.isEmpty()) << c.tip;
        const QString expected =
            *c.tip ? ordinary + QLatin1Char('\n') + QString::fromUtf8(c.tip) : ordinary;
        EXPECT_EQ(c.widget->toolTip(), expected) << c.tip;
    }
    EXPECT_TRUE(panel().key(ControlPanel1::Vcs).isVisible());
    click(ControlPanel1::Nfm);
    EXPECT_EQ(doc.mainRecord.mode, 0);
}

TEST_F(Control1Test, PlusMemStoresAndAsksBeforeOverwriting) {
    click(ControlPanel1::PlusMem);
    ASSERT_EQ(doc.channelCount, 1);
    EXPECT_EQ(doc.channels[0]->frequency, 145'000'000u);
    EXPECT_EQ(list.selected, std::vector<int>{0});
    EXPECT_EQ(frame.overwriteQuestions, 0);
    frame.overwrite = false;
    click(ControlPanel1::PlusMem);
    EXPECT_EQ(frame.overwriteQuestions, 1);
    EXPECT_EQ(list.selected.size(), 1u) << "Cancel stops";
    params().operatingMode = 0;
    main().frequency = 146'000'000;
    click(ControlPanel1::PlusMem);
    EXPECT_EQ(doc.channelCount, 1) << "not in memory scan";
}

TEST_F(Control1Test, PlusMemReportsAFullTable) {
    for (int i = 0; i < kMaxChannels; ++i)
        addChannel(100'000'000 + std::uint32_t(i) * 1000);
    main().frequency = 300'000'000;
    click(ControlPanel1::PlusMem);
    EXPECT_EQ(doc.channelCount, kMaxChannels);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_TRUE(list.selected.empty());
}

TEST_F(Control1Test, PlusPassStoresIntoThePassBankAndReentersTheMode) {
    click(ControlPanel1::PlusPass);
    ASSERT_EQ(doc.channelCount, 1);
    EXPECT_EQ(doc.channels[0]->bankMask, 0x200000);
    EXPECT_EQ(core.modes, std::vector<int>{5});
    EXPECT_EQ(list.selected, std::vector<int>{0});
}

// The lists open downwards from their closed field, 12-pixel rows, eight at a
// time (the step list's opened bottom edge lies about 108 pixels below its top).
TEST_F(Control1Test, ListsDropDownWithTwelvePixelRows) {
    PanelList& stepList = panel().stepList();
    stepList.showPopup();
    QAbstractItemView* rows = stepList.view();
    EXPECT_EQ(rows->visualRect(stepList.model()->index(0, 0)).height(), 12);
    EXPECT_EQ(rows->visualRect(stepList.model()->index(1, 0)).top() -
                  rows->visualRect(stepList.model()->index(0, 0)).top(),
              12);
    EXPECT_LE(rows->viewport()->height(), 8 * 12);
    EXPECT_GE(rows->viewport()->height(), 7 * 12);
    EXPECT_TRUE(rows->verticalScrollBar()->isVisible()) << "13 rows, 8 shown";
    const int fieldBottom = stepList.mapToGlobal(QPoint(0, stepList.height())).y();
    EXPECT_GE(rows->window()->geometry().top(), fieldBottom - 1) << "opens below the field";
    stepList.hidePopup();
}

// With either receiver a click on the middle of PAUSE reaches PAUSE, and on
// the AR3000A VCS has its own place.
TEST_F(Control1Test, PauseAndVoiceSquelchKeysAreBothReachable) {
    for (int device : {0, 1}) {
        settings.device = device;
        view->refreshAll();
        const bool ar3000a = device == 1;
        for (int key : {int(ControlPanel1::Pause), int(ControlPanel1::Vcs)}) {
            ImageKey& k = panel().key(key);
            if (key == ControlPanel1::Vcs && !ar3000a)
                continue;
            const QPoint middle = k.geometry().center();
            EXPECT_EQ(panel().childAt(middle), &k) << device << ' ' << key;
            const int pauseBefore = params().pause;
            const int vcsBefore = params().voiceSquelch;
            QTest::mouseClick(panel().childAt(middle), Qt::LeftButton);
            EXPECT_EQ(params().pause != pauseBefore, key == ControlPanel1::Pause) << device;
            EXPECT_EQ(params().voiceSquelch != vcsBefore, key == ControlPanel1::Vcs) << device;
        }
    }
}

// The list offers 50 Hz to 100 kHz; the 1 MHz and 10 MHz steps show no row
// rather than one that is not in use.
TEST_F(Control1Test, StepListShowsNoRowForStepsItDoesNotOffer) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {8, 7}, {13, 12}, {14, -1}, {15, -1}};
    for (auto [step, row] : cases) {
        main().step = step;
        view->refreshPanels();
        EXPECT_EQ(panel().stepList().currentIndex(), row) << step;
    }
    EXPECT_EQ(panel().stepList().currentText(), "");
}

// The wheel over the pad is a tuning knob: a notch tunes a main step in VFO
// (Ctrl: the sub-step) and steps a scan once.
TEST_F(Control1Test, WheelOverThePadTurnsTheKnob) {
    params().autoMode = 0;
    params().stepAdjust = 0;
    params().subStep = 3; // 1 kHz
    main().step = 10;     // 20 kHz
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        DirectionPad& pad = panel().pad();
        const QPointF at(20, 10);
        QWheelEvent e(at, pad.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(&pad, &e);
    };
    struct Case {
        int delta;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {120, Qt::NoModifier, 145'020'000},      {-240, Qt::NoModifier, 144'980'000},
        {120, Qt::ControlModifier, 144'981'000}, {60, Qt::NoModifier, 144'981'000},
        {60, Qt::NoModifier, 145'001'000},
    };
    for (const Case& c : cases) {
        wheel(c.delta, c.modifiers);
        EXPECT_EQ(main().frequency, c.expected) << c.delta;
    }
    params().operatingMode = 0;
    wheel(-360);
    EXPECT_EQ(core.memorySteps, 3);
    EXPECT_EQ(params().direction, 0);
}

// The stack's strips, the display panel, the meter and the tone strips.
#include "ViewFixture.h"

#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2.h"
#include "ui/DisplayMenuPresenter.h"
#include "ui/DisplayPanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelList.h"
#include "ui/PanelSlider.h"
#include "ui/PanelStack.h"
#include "ui/PixmapIndicator.h"
#include "ui/SignalMeter.h"
#include "ui/StripPanels.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

using namespace kovo;
using namespace kovo::test;

namespace {

class PanelsTest : public ViewTest {
protected:
    PanelsTest() { stack().show(); }

    DisplayPanel& display() { return stack().display(); }
    bool shown(PanelSlot s) { return stack().panel(s).isVisible(); }
    int top(PanelSlot s) { return stack().panel(s).y(); }
    void clickToggle(int i) { QTest::mouseClick(&display().toggle(i), Qt::LeftButton); }

    void surfaceEvent(QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons held) {
        QMouseEvent e(type, local, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&display(), &e);
    }
};

} // namespace

TEST_F(PanelsTest, TogglesShowStripsAndWriteSettings) {
    EXPECT_TRUE(shown(PanelSlot::Control1));
    EXPECT_FALSE(shown(PanelSlot::Control2));
    EXPECT_EQ(frame.stackHeight, 98);
    clickToggle(2);
    EXPECT_EQ(settings.showControl2, 1);
    EXPECT_TRUE(shown(PanelSlot::Control2));
    EXPECT_EQ(top(PanelSlot::Control2), 100);
    EXPECT_EQ(frame.stackHeight, 172);
    EXPECT_EQ(display().toggle(2).state(), 1);
    clickToggle(1);
    EXPECT_EQ(settings.showControl1, 0);
    EXPECT_EQ(top(PanelSlot::Control2), 50) << "the strips close up";
    clickToggle(3);
    EXPECT_EQ(settings.showDataBase, 1);
    EXPECT_TRUE(shown(PanelSlot::DataBase));
    EXPECT_EQ(top(PanelSlot::DataBase), 124);
    clickToggle(0);
    EXPECT_EQ(settings.showTitle, 0);
    ASSERT_FALSE(frame.titleStrips.empty());
    EXPECT_FALSE(frame.titleStrips.back());
    EXPECT_TRUE(frame.onTop) << "TopMost keeps the frameless panel above other windows";
}

TEST_F(PanelsTest, ToneStripsFollowTheirSwitches) {
    params().ctcssSwitch = 1;
    settings.elm = 1;
    settings.dtmf = 1;
    view->layout(false);
    EXPECT_FALSE(shown(PanelSlot::Ctcss)) << "CTCSS needs Control panel 2";
    EXPECT_FALSE(shown(PanelSlot::TElm));
    EXPECT_TRUE(shown(PanelSlot::Decoder)) << "the decoder strip needs only DTMF";
    EXPECT_EQ(top(PanelSlot::Decoder), 100);
    view->togglePanel(2);
    EXPECT_TRUE(shown(PanelSlot::Ctcss));
    EXPECT_TRUE(shown(PanelSlot::TElm));
    EXPECT_EQ(top(PanelSlot::Ctcss), 174);
    EXPECT_EQ(top(PanelSlot::Decoder), 226);
}

TEST_F(PanelsTest, DoubleClickTogglesTheTitleStrip) {
    QTest::mouseDClick(&display(), Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_EQ(settings.showTitle, 0);
    EXPECT_EQ(display().toggle(0).state(), 0);
}

TEST_F(PanelsTest, DisplayDragsTheWindowOnlyWithoutTitle) {
    surfaceEvent(QEvent::MouseButtonPress, {100, 5}, {140, 25}, Qt::LeftButton);
    surfaceEvent(QEvent::MouseMove, {110, 15}, {150, 35}, Qt::LeftButton);
    surfaceEvent(QEvent::MouseButtonRelease, {110, 15}, {150, 35}, Qt::NoButton);
    EXPECT_TRUE(frame.moves.empty());
    settings.showTitle = 0;
    surfaceEvent(QEvent::MouseButtonPress, {100, 5}, {140, 25}, Qt::LeftButton);
    surfaceEvent(QEvent::MouseMove, {110, 15}, {250, 65}, Qt::LeftButton);
    surfaceEvent(QEvent::MouseButtonRelease, {110, 15}, {250, 65}, Qt::NoButton);
    ASSERT_EQ(frame.moves.size(), 1u);
    EXPECT_EQ(frame.moves[0], QPoint(150, 60));
    EXPECT_EQ(settings.positionX, 150);
    EXPECT_EQ(settings.positionY, 60);
}

TEST_F(PanelsTest, BankNameAndPassChannel) {
    main().bankMask = 0;
    view->refreshPanels();
    EXPECT_EQ(display().field(DisplayPanel::BankField).text(), "   0");
    EXPECT_EQ(display().field(DisplayPanel::NameField).text(), "");
    main().bankMask = 0x200000;
    main().bankNumber = 7;
    view->refreshPanels();
    EXPECT_EQ(display().field(DisplayPanel::BankField).text(), "  21");
    EXPECT_EQ(display().field(DisplayPanel::NameField).text(), "Pass Channel");
    EXPECT_EQ(display().field(DisplayPanel::ChannelField).text(), "   7");
    // In search mode the bank is the search bank, with its comment.
    doc.searchBanks[4].comment = "Airband";
    params().searchBankIndex = 4;
    params().operatingMode = 1;
    view->refreshPanels();
    EXPECT_EQ(display().field(DisplayPanel::BankField).text(), "   4");
    EXPECT_EQ(display().field(DisplayPanel::NameField).text(), "Airband");
    EXPECT_EQ(display().field(DisplayPanel::ChannelField).text(), "");
}

TEST_F(PanelsTest, NewDocumentCommentShowsJapanese) {
    EXPECT_EQ(display().field(DisplayPanel::CommentField).text(),
              QString::fromUtf8("144MHzアマチュア 呼び出し周波数"));
    EXPECT_EQ(display().field(DisplayPanel::FrequencyField).text(), " 145.000000");
}

TEST_F(PanelsTest, PriorityCheckShowsThePriorityRecord) {
    doc.priorityRecord.frequency = 433'000'000;
    core.state->priority.priorityCheckApplied = true;
    view->refreshPanels();
    EXPECT_EQ(display().field(DisplayPanel::FrequencyField).text(), " 433.000000");
}

TEST_F(PanelsTest, MeterSegmentsLitByLevel) {
    SignalMeter& meter = display().meter();
    EXPECT_EQ(meter.set(true, 20), 15) << "levels above 15 show the full bar";
    auto segmentColour = [&](int segment) {
        const QImage img = meter.grab().toImage();
        return QColor(img.pixel(art::meterSegmentRect(segment).center()));
    };
    const auto litGreen = [](QColor c) { return c.green() > 200 && c.red() < 150; };
    const auto litRed = [](QColor c) { return c.red() > 200 && c.green() < 150; };
    for (int s : {0, 8})
        EXPECT_TRUE(litGreen(segmentColour(s))) << s;
    for (int s : {9, 14})
        EXPECT_TRUE(litRed(segmentColour(s))) << s;
    meter.set(true, 5);
    EXPECT_TRUE(litGreen(segmentColour(4)));
    EXPECT_LT(segmentColour(5).green(), 100) << "segment 6 is dark at level 5";
    meter.set(false, 0);
    for (int s : {0, 5, 14}) {
        const QColor c = segmentColour(s);
        EXPECT_LT(c.red() + c.green() + c.blue(), 60) << "squelch closed: all black";
    }
    meter.set(true, 0);
    const QImage img = meter.grab().toImage();
    const QRect first = art::meterSegmentRect(0);
    EXPECT_TRUE(litGreen(QColor(img.pixel(first.left(), first.center().y()))))
        << "a sliver of the first segment";
    EXPECT_LT(QColor(img.pixel(first.center())).green(), 100);
}

TEST_F(PanelsTest, FilterIndicatorByIfBandwidth) {
    EXPECT_EQ(ControlPanel2::filterImageFor(1), 0) << "3 kHz shows the 2.4kHz filter";
    EXPECT_EQ(ControlPanel2::filterImageFor(3), 1);
    EXPECT_EQ(ControlPanel2::filterImageFor(4), 2);
    main().ifBandwidth = 1;
    view->refreshPanels();
    EXPECT_EQ(stack().control2().shownIfBandwidth(), 1);
}

TEST_F(PanelsTest, ModeScanKeysAndSliders) {
    ControlPanel2& p = stack().control2();
    QTest::mouseClick(&p.modeScanKey(1), Qt::LeftButton);
    EXPECT_EQ(params().modeEnabled[1], 0);
    EXPECT_EQ(p.modeScanKey(1).state(), 0);
    QTest::mouseClick(&p.modeScanKey(ControlPanel2::kMsmKey), Qt::LeftButton);
    EXPECT_EQ(params().modeFilter, 1);
    EXPECT_EQ(p.modeScanKey(ControlPanel2::kMsmKey).state(), 1);
    EXPECT_TRUE(doc.isModified());
    QTest::mouseClick(&p.delaySlider(), Qt::LeftButton, {}, QPoint(199, 8));
    EXPECT_EQ(params().delaySeconds, 10);
}

// The wheel and Page Up/Down move a fader too: what it then shows must be
// what the document holds.
TEST_F(PanelsTest, SliderWheelAndPageKeysWriteTheDocument) {
    PanelSlider& delay = stack().control2().delaySlider();
    const QPointF at(100, 8);
    QWheelEvent wheel(at, delay.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&delay, &wheel);
    EXPECT_NE(delay.value(), 2) << "the wheel moved the knob";
    EXPECT_EQ(params().delaySeconds, delay.value());
    PanelSlider& pause = stack().control2().pauseSlider();
    QTest::keyClick(&pause, Qt::Key_PageUp);
    EXPECT_NE(pause.value(), 60);
    EXPECT_EQ(params().levelAutoStoreOff, pause.value());
}

TEST_F(PanelsTest, GainSliderWritesTheSetting) {
    PanelSlider& gain = display().gainSlider();
    EXPECT_EQ(gain.value(), 0) << "starts at 0 whatever is stored";
    QTest::mouseClick(&gain, Qt::LeftButton, {}, QPoint(95, 8));
    EXPECT_EQ(settings.afGain, 63);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(PanelsTest, CtcssSliderAndToneSearch) {
    CtcssPanel& c = stack().ctcss();
    EXPECT_EQ(c.slider().maximum(), 50) << "SCAN is not reachable with the slider";
    main().ctcss = 51;
    view->refreshPanels();
    EXPECT_EQ(c.field().text(), " SCAN ");
    c.slider().setFocus();
    QTest::keyClick(&c.slider(), Qt::Key_Home);
    EXPECT_EQ(main().ctcss, 0);
    EXPECT_EQ(c.field().text(), "  OFF ");
    QTest::keyClick(&c.slider(), Qt::Key_Right);
    EXPECT_EQ(c.field().text(), "  67.0");
    // Tone search runs in VFO only.
    EXPECT_TRUE(c.scanKey().isVisibleTo(&c));
    QTest::mouseClick(&c.scanKey(), Qt::LeftButton);
    EXPECT_TRUE(core.state->toneSearch);
    EXPECT_EQ(main().ctcss, 0);
    core.setOperatingMode(4);
    EXPECT_FALSE(core.state->toneSearch) << "leaving VFO ends the tone search";
    EXPECT_FALSE(c.scanKey().isVisibleTo(&c));
    EXPECT_EQ(c.scanKey().state(), 0);
    core.setOperatingMode(0);
    EXPECT_FALSE(c.slider().isVisibleTo(&c)) << "no tone slider in memory scan";
}

TEST_F(PanelsTest, TElmLabels) {
    TElmPanel& t = stack().tElm();
    main().tElm = 0;
    view->refreshPanels();
    EXPECT_EQ(t.field().text(), "  OFF");
    main().tElm = 255;
    view->refreshPanels();
    EXPECT_EQ(t.field().text(), "  255");
    EXPECT_EQ(t.slider().value(), 255);
    t.slider().setFocus();
    QTest::keyClick(&t.slider(), Qt::Key_Left);
    EXPECT_EQ(main().tElm, 254);
    EXPECT_EQ(t.field().text(), "  254");
}

TEST_F(PanelsTest, DecoderClearEmptiesTheText) {
    DecoderPanel& d = stack().decoder();
    d.field().setText("123#");
    QTest::mouseClick(&d.clearKey(), Qt::LeftButton);
    EXPECT_TRUE(d.field().text().isEmpty());
}

TEST_F(PanelsTest, ContextMenuRunsModesTogglesAndForwardsTheRest) {
    auto menu = view->displayMenu().build();
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 6);
    EXPECT_EQ(actions[0]->text(), "Memory scan");
    EXPECT_TRUE(actions[5]->isChecked()) << "VFO is the current mode";
    EXPECT_FALSE(actions[0]->isCheckable()) << "no empty check box beside the other modes";
    actions[4]->trigger();
    EXPECT_EQ(core.modes.back(), 4);
    view->displayMenu().run(32772);
    EXPECT_EQ(settings.showControl1, 0);
    view->displayMenu().run(32950);
    EXPECT_EQ(list.linkSets, std::vector<int>{3});
    view->displayMenu().run(57601);
    EXPECT_EQ(frame.commands, std::vector<int>{57601});
}

// While no receiver answers the frequency window says so and the meter is
// dimmed; nothing is said before the first probe nor while an answering port
// is closed and probed again.
TEST_F(PanelsTest, FrequencyWindowSaysWhenNoReceiverAnswers) {
    using S = LinkStatus;
    struct Case {
        std::vector<S> statuses;
        bool absent;
    };
    const Case cases[] = {
        {{}, false},
        {{S::Probing}, false},
        {{S::Probing, S::Closed}, true},
        {{S::Probing, S::Closed, S::Probing}, true},
        {{S::Probing, S::Closed, S::Probing, S::Polling}, false},
        {{S::Probing, S::Polling, S::Closed, S::Probing}, false},
        {{S::Probing, S::Polling, S::Lost}, true},
        {{S::Probing, S::Polling, S::Lost, S::Probing, S::Lost}, true},
        {{S::Probing, S::Polling, S::Lost, S::Probing, S::Polling}, false},
    };
    main().frequency = 145'500'000;
    for (const Case& c : cases) {
        makeView();
        stack().show();
        for (S s : c.statuses)
            view->showLinkStatus(s);
        PanelEdit& f = display().field(DisplayPanel::FrequencyField);
        EXPECT_EQ(f.text(), c.absent ? "NO RECEIVER" : " 145.500000") << c.statuses.size();
        EXPECT_EQ(display().meter().dimmed(), c.absent) << c.statuses.size();
        view->refreshPanels();
        EXPECT_EQ(f.text(), c.absent ? "NO RECEIVER" : " 145.500000") << "kept by refreshes";
    }
}

// The wheel over the frequency window turns the knob; elsewhere on the
// display panel it does nothing.
TEST_F(PanelsTest, WheelOverTheFrequencyWindowTunes) {
    doc.controlParams.operatingMode = 5;
    doc.controlParams.autoMode = 0;
    doc.controlParams.stepAdjust = 0;
    main().frequency = 145'000'000;
    main().step = 10; // 20 kHz
    struct Case {
        QWidget* target;
        QPoint at; // in display panel coordinates
        std::uint32_t expected;
    };
    const Case cases[] = {
        {&display().field(DisplayPanel::FrequencyField), {470, 20}, 145'020'000},
        {&display(), {470, 40}, 145'040'000}, // the name plate under it
        {&display(), {100, 20}, 145'040'000}, // the channel fields
        {&display().field(DisplayPanel::CommentField), {100, 30}, 145'040'000},
    };
    for (auto [target, at, expected] : cases) {
        const QPointF local = target->mapFrom(&display(), QPointF(at));
        QWheelEvent e(local, target->mapToGlobal(local), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &e);
        EXPECT_EQ(main().frequency, expected) << at.x() << ',' << at.y();
    }
}

// Without the title strip a press on the display panel hands the drag to the
// window system; only where it cannot does the panel move the window itself.
TEST_F(PanelsTest, DisplayDragIsHandedToTheWindowSystem) {
    settings.showTitle = 0;
    frame.systemMoveWorks = true;
    surfaceEvent(QEvent::MouseButtonPress, {100, 5}, {140, 25}, Qt::LeftButton);
    surfaceEvent(QEvent::MouseMove, {110, 15}, {250, 65}, Qt::LeftButton);
    surfaceEvent(QEvent::MouseButtonRelease, {110, 15}, {250, 65}, Qt::NoButton);
    EXPECT_EQ(frame.systemMoves, 1);
    EXPECT_TRUE(frame.moves.empty());
    settings.showTitle = 1;
    surfaceEvent(QEvent::MouseButtonPress, {100, 5}, {140, 25}, Qt::LeftButton);
    EXPECT_EQ(frame.systemMoves, 1) << "the titled window is moved by its frame";
}

// Every control of the front panel has a name a screen reader can say; the
// frequency field reads out the frequency shown.
TEST_F(PanelsTest, EveryControlHasAnAccessibleName) {
    settings.showControl2 = 1;
    doc.controlParams.ctcssSwitch = 1;
    view->refreshAll();
    int checked = 0;
    for (QWidget* w : stack().findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QAbstractSlider*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || w->focusPolicy() != Qt::NoFocus ||
                             w->inherits("kovo::DirectionPad");
        if (!control || w->parentWidget() == nullptr || qobject_cast<QAbstractItemView*>(w))
            continue;
        if (!w->isVisibleTo(&stack()) && !qobject_cast<QAbstractButton*>(w))
            continue;
        ++checked;
        EXPECT_FALSE(w->accessibleName().isEmpty())
            << w->metaObject()->className() << " at " << w->x() << ',' << w->y() << " in "
            << w->parentWidget()->metaObject()->className();
    }
    EXPECT_GT(checked, 60);

    const std::pair<QWidget*, const char*> names[] = {
        {&display().field(DisplayPanel::FrequencyField), "Frequency"},
        {&display().field(DisplayPanel::BankField), "Bank"},
        {&display().field(DisplayPanel::ChannelField), "Channel"},
        {&display().field(DisplayPanel::NameField), "Name"},
        {&display().field(DisplayPanel::CommentField), "Comment"},
        {&display().gainSlider(), "AF gain"},
        {&stack().control2().delaySlider(), "Delay time"},
        {&stack().control2().pauseSlider(), "Pause time"},
        {&stack().control2().padKey(ControlPanel2::Enter), "ENT"},
        {&stack().control1().key(ControlPanel1::Moni), "MONI"},
        {&stack().control1().key(ControlPanel1::Nfm), "NFM"},
        {&stack().control1().key(ControlPanel1::Scope), "SCOPE"},
        {&stack().control1().stepList(), "Step"},
        {&display().toggle(2), "Control panel 2"}, // lit: the name outlives a state change
    };
    for (auto [widget, name] : names)
        EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(name));

    main().frequency = 145'500'000;
    view->refreshPanels();
    QAccessibleInterface* field =
        QAccessible::queryAccessibleInterface(&display().field(DisplayPanel::FrequencyField));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(QAccessible::Name), "Frequency");
    EXPECT_EQ(field->text(QAccessible::Value), " 145.500000");
}

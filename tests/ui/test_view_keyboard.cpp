// The front panel by keyboard: the tab chain, Space and Enter on keys, arrow
// keys on lists and the pad, the focus ring, and the demo badge.
#include "ViewFixture.h"

#include "ui/BandScopePanel.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2.h"
#include "ui/DirectionPad.h"
#include "ui/DisplayPanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelList.h"
#include "ui/PanelSlider.h"
#include "ui/StripPanels.h"

#include <QApplication>
#include <QTest>

using namespace kovo;
using namespace kovo::test;

namespace {

class KeyboardTest : public ViewTest {
protected:
    KeyboardTest() {
        settings.showControl2 = 1;
        settings.elm = 1;
        settings.dtmf = 1;
        params().ctcssSwitch = 1;
        params().autoMode = 0;
        view->refreshAll();
        stack().show();
        stack().activateWindow();
        active_ = QTest::qWaitForWindowActive(&stack());
    }

    DisplayPanel& display() { return stack().display(); }
    ControlPanel1& c1() { return stack().control1(); }
    ControlPanel2& c2() { return stack().control2(); }

    // Every control of the strips, in the order Tab is to visit them.
    QList<QWidget*> readingOrder() {
        using K = ControlPanel1;
        using P = ControlPanel2;
        QList<QWidget*> out;
        for (auto f :
             {DisplayPanel::FrequencyField, DisplayPanel::BankField, DisplayPanel::NameField,
              DisplayPanel::ChannelField, DisplayPanel::CommentField})
            out << &display().field(f);
        for (int i = 0; i < 4; ++i)
            out << &display().toggle(i);
        out << &display().gainSlider();
        for (int k : {K::Moni, K::Vcs, K::Pause, K::Log, K::AsM, K::Pri, K::Nfm, K::Wfm, K::Am,
                      K::Lsb, K::Usb, K::Cw, K::Ms, K::Ps, K::OneMhz, K::Scope, K::Static, K::Vfo})
            out << &c1().key(k);
        out << &c1().stepList() << &c1().attList() << &c1().key(K::Auto) << &c1().key(K::Adj)
            << &c1().pad() << &c1().key(K::PlusMem) << &c1().key(K::PlusPass);
        for (int i = 0; i <= P::kMsmKey; ++i)
            out << &c2().modeScanKey(i);
        out << &c2().delaySlider() << &c2().pauseSlider();
        for (int p : {1, 2, 3, int(P::Clear), 4, 5, 6, int(P::Kilohertz), 7, 8, 9, int(P::Enter), 0,
                      int(P::Point)})
            out << &c2().padKey(p);
        CtcssPanel& ctcss = stack().ctcss();
        out << &ctcss.field() << &ctcss.slider() << &ctcss.scanKey();
        out << &stack().tElm().field() << &stack().tElm().slider();
        out << &stack().decoder().field() << &stack().decoder().clearKey();
        out << &stack().bandScope().spanList() << &stack().bandScope().restartKey();
        return out;
    }

    static void press(QWidget& w, Qt::Key key) {
        w.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&w, key);
    }

    bool active_ = false;
};

QImage picture(QWidget& w) {
    return w.grab().toImage();
}

} // namespace

// Tab walks the stack top to bottom and each strip group by group, each
// group left to right and top to bottom, and comes round to the start.
TEST_F(KeyboardTest, TabVisitsEveryControlInReadingOrder) {
    ASSERT_TRUE(active_);
    for (int mode : {5, 3}) { // VFO shows the tone keys, the active scope its strip
        core.setOperatingMode(mode);
        QList<QWidget*> expected;
        for (QWidget* w : readingOrder())
            if (w->isVisibleTo(&stack()))
                expected << w;
        ASSERT_GT(expected.size(), 55) << mode;
        display().field(DisplayPanel::FrequencyField).setFocus(Qt::TabFocusReason);
        QList<QWidget*> visited;
        for (qsizetype n = 0; n < expected.size(); ++n) {
            visited << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(QApplication::focusWidget(), expected.first()) << "round again, mode " << mode;
        for (qsizetype n = 0; n < expected.size(); ++n)
            EXPECT_EQ(visited.value(n), expected[n])
                << "stop " << n << ": " << expected[n]->accessibleName().toStdString() << ", mode "
                << mode;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), expected.last()) << "Shift+Tab goes back";
    }
}

// A click on a key or a list leaves the keyboard in the field being typed in.
TEST_F(KeyboardTest, ClicksDoNotTakeTheKeyboardFromTheFields) {
    ASSERT_TRUE(active_);
    PanelEdit& frequency = display().field(DisplayPanel::FrequencyField);
    frequency.setFocus();
    QTest::mouseClick(&c2().padKey(1), Qt::LeftButton);
    QTest::mouseClick(&c1().key(ControlPanel1::Nfm), Qt::LeftButton);
    QTest::mouseClick(&display().toggle(0), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), &frequency);
}

// Space and Enter on a focused key carry out the key's own command.
TEST_F(KeyboardTest, SpaceAndEnterPressTheFocusedKey) {
    ASSERT_TRUE(active_);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        const int shown = settings.showControl1;
        press(display().toggle(1), key);
        EXPECT_EQ(settings.showControl1, shown ? 0 : 1) << key;

        core.setOperatingMode(0);
        press(c1().key(ControlPanel1::Vfo), key);
        EXPECT_EQ(params().operatingMode, 5) << key;

        press(c1().key(ControlPanel1::Am), key);
        EXPECT_EQ(main().mode, 2) << key; // AM
        press(c1().key(ControlPanel1::Nfm), key);
        EXPECT_EQ(main().mode, 0) << key;

        params().stepAdjust = 0;
        for (int pad : {1, 4, 6, int(ControlPanel2::Enter)})
            press(c2().padKey(pad), key);
        EXPECT_EQ(main().frequency, 146'000'000u) << key;
        main().frequency = 145'000'000;

        DecoderPanel& decoder = stack().decoder();
        decoder.field().setText(QStringLiteral("123#"));
        press(decoder.clearKey(), key);
        EXPECT_EQ(decoder.field().text(), QString()) << key;
    }
}

// The pad tunes with Left and Right as the wheel does; a list reached by
// Tab chooses with Up and Down as the mouse would.
TEST_F(KeyboardTest, ArrowKeysTuneWithThePadAndChooseInTheLists) {
    ASSERT_TRUE(active_);
    main().frequency = 145'000'000;
    main().step = 10; // 20 kHz
    press(c1().pad(), Qt::Key_Right);
    EXPECT_EQ(main().frequency, 145'020'000u);
    press(c1().pad(), Qt::Key_Left);
    press(c1().pad(), Qt::Key_Left);
    EXPECT_EQ(main().frequency, 144'980'000u);
    press(c1().stepList(), Qt::Key_Down);
    EXPECT_EQ(main().step, 11);
    EXPECT_EQ(c1().stepList().currentIndex(), 10);
}

// The focus shows as a ring on the edge of the control, drawn on whole
// pixels; nothing else changes, and without the focus the control looks as
// before. The read-only frequency field (no caret) shows it too.
TEST_F(KeyboardTest, FocusedControlWearsARingOnItsEdge) {
    ASSERT_TRUE(active_);
    core.setOperatingMode(5);
    display().setFrequencyReadOnly(true);
    const std::pair<QWidget*, QColor> controls[] = {
        {&c1().key(ControlPanel1::Moni), art::kFocusMark},
        {&c2().padKey(ControlPanel2::Enter), art::kFocusMark},
        {&display().toggle(3), art::kFocusMark},
        {&c1().stepList(), art::kFocusMark},
        {&c1().pad(), art::kFocusMark},
        {&display().gainSlider(), art::kFocusMark},
        {&stack().ctcss().scanKey(), art::kFocusMark},
        {&display().field(DisplayPanel::FrequencyField), art::kFieldFocusMark},
    };
    PanelEdit& elsewhere = display().field(DisplayPanel::CommentField);
    for (auto [w, colour] : controls) {
        const std::string name = w->accessibleName().toStdString();
        elsewhere.setFocus();
        const QImage plain = picture(*w);
        // (Tab would also select the field's text, which is not the ring.)
        w->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(w->hasFocus()) << name;
        const QImage ringed = picture(*w);
        ASSERT_EQ(ringed.size(), plain.size()) << name;
        int ring = 0;
        for (int y = 0; y < ringed.height(); ++y) {
            for (int x = 0; x < ringed.width(); ++x) {
                const bool edge =
                    x == 0 || y == 0 || x == ringed.width() - 1 || y == ringed.height() - 1;
                if (edge) {
                    ring += QColor(ringed.pixel(x, y)) == colour;
                    continue;
                }
                ASSERT_EQ(ringed.pixel(x, y), plain.pixel(x, y))
                    << name << " changed inside at " << x << ',' << y;
            }
        }
        EXPECT_EQ(ring, 2 * (ringed.width() + ringed.height()) - 4) << name;
        elsewhere.setFocus();
        EXPECT_EQ(picture(*w), plain) << name << " after the focus left";
    }
}

// With a simulated receiver the name plate wears a DEMO badge and the display
// says why; the rest of the display looks as it always does.
TEST_F(KeyboardTest, DemoModeIsShownOnTheDisplay) {
    const QImage plain = picture(display());
    EXPECT_FALSE(display().showsDemoMark());
    EXPECT_TRUE(display().accessibleDescription().isEmpty());

    view->showDemoMode(true);
    EXPECT_TRUE(display().showsDemoMark());
    EXPECT_TRUE(display().accessibleDescription().contains(QStringLiteral("simulated")));
    // Only the name plate changes, and its badge is red.
    const QImage demo = picture(display());
    const QRect plate(402, 33, 145, 12);
    EXPECT_EQ(demo.copy(0, 0, plate.left(), demo.height()),
              plain.copy(0, 0, plate.left(), demo.height()));
    EXPECT_EQ(demo.copy(0, 0, demo.width(), plate.top()),
              plain.copy(0, 0, demo.width(), plate.top()));
    const QRect badgeRect = art::kDemoBadge.translated(plate.topLeft());
    const QColor badge(demo.pixel(badgeRect.left() + 2, badgeRect.center().y()));
    EXPECT_GT(badge.red(), 150);
    EXPECT_LT(badge.green(), 80);

    view->showDemoMode(false);
    EXPECT_EQ(picture(display()), plain);
    EXPECT_TRUE(display().accessibleDescription().isEmpty());
}

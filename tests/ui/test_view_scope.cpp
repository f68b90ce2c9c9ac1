// The band scope through the view: entering, span list, sweep, static map
// and the pixels of the plot.
#include "ViewFixture.h"

#include "ui/BandScopePanel.h"
#include "ui/ControlPanel1.h"
#include "ui/ImageKey.h"
#include "ui/PanelList.h"
#include "ui/ScopePlot.h"

#include <QImage>
#include <QTest>

using namespace kovo;
using namespace kovo::test;

namespace {

class ScopeTest : public ViewTest {
protected:
    ScopeTest() { stack().show(); }

    BandScopePanel& panel() { return stack().bandScope(); }
    QImage plotImage() { return panel().plot().grab().toImage(); }
    static bool isAmberGrid(QRgb c) { return qRed(c) > 190 && qGreen(c) > 150 && qBlue(c) < 60; }
    static bool isInverted(QRgb c) { return qRed(c) < 60 && qGreen(c) < 100 && qBlue(c) > 190; }
};

} // namespace

TEST_F(ScopeTest, EnteringTheActiveScopeShowsThePanelAndWindow) {
    main().step = 10; // 20 kHz: range 3, 200 kHz span
    params().direction = 1;
    core.setOperatingMode(3);
    EXPECT_EQ(params().bandScopeShown, 1);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(panel().restartKey().isVisible());
    EXPECT_EQ(panel().startText().text(), " 144.900000");
    EXPECT_EQ(panel().centreText().text(), " 145.000000");
    EXPECT_EQ(panel().endText().text(), " 145.100000");
    EXPECT_EQ(panel().spanList().count(), 7);
    EXPECT_EQ(panel().spanList().currentText(), "200kHz");
    EXPECT_EQ(main().frequency, 144'900'000u) << "the sweep starts at the bottom going up";
    EXPECT_EQ(frame.stackHeight, 50 + 50 + 96) << "the stack grew by the scope";
    core.setOperatingMode(5);
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(frame.stackHeight, 98);
}

TEST_F(ScopeTest, FiftyHertzStepIsRaisedInTheScope) {
    core.setOperatingMode(3);
    emit stack().control1().stepList().activated(0); // 50 Hz
    EXPECT_EQ(main().step, 2);
    EXPECT_EQ(params().scopeRange, 0);
    EXPECT_EQ(core.bandScope().window().points, 200);
    EXPECT_EQ(stack().control1().stepList().currentText(), " 100Hz");
    EXPECT_EQ(panel().spanList().currentText(), " 20kHz");
}

TEST_F(ScopeTest, FractionalStepShowsFractionalSpans) {
    main().step = 5; // 6.25 kHz
    core.setOperatingMode(4);
    EXPECT_EQ(panel().spanList().itemText(0), "  25kHz");
    EXPECT_EQ(panel().spanList().itemText(6), " 2.5MHz");
    EXPECT_FALSE(panel().restartKey().isVisible());
}

TEST_F(ScopeTest, TwoMegahertzSpanRaisesTheStep) {
    main().step = 3; // 1 kHz
    core.setOperatingMode(3);
    emit panel().spanList().activated(6);
    EXPECT_EQ(main().step, 7);
    EXPECT_EQ(core.bandScope().window().points, 200);
    EXPECT_EQ(stack().control1().stepList().currentText(), " 10kHz");
}

TEST_F(ScopeTest, PlotPixelsBarsCentreLineAndCursor) {
    main().step = 12; // 50 kHz: range 4, 500 kHz span, N = 10
    params().direction = 1;
    core.setOperatingMode(3);
    ASSERT_EQ(core.bandScope().window().points, 10);
    // Point 0 then point 1 (x = 40) with level 10: top at 25.
    view->plotScopePoint(true, 3);
    core.scope->nextPoint();
    view->plotScopePoint(true, 10);
    QImage img = plotImage();
    ASSERT_EQ(img.width(), 401);
    EXPECT_TRUE(isInverted(img.pixel(40, 30))) << "inside the bar";
    EXPECT_TRUE(isInverted(img.pixel(40, 25))) << "bar top row";
    EXPECT_TRUE(isAmberGrid(img.pixel(40, 24))) << "above the bar top";
    EXPECT_TRUE(isAmberGrid(img.pixel(40, 63))) << "baseline row is not part of the bar";
    // Half-width 20: the bar spans x 21..58.
    EXPECT_TRUE(isInverted(img.pixel(21, 40)));
    EXPECT_TRUE(isAmberGrid(img.pixel(20, 40)));
    EXPECT_TRUE(isInverted(img.pixel(58, 40)));
    EXPECT_TRUE(isAmberGrid(img.pixel(59, 40)));
    // Level 3 at point 0: top 53, clipped to x 0..18.
    EXPECT_TRUE(isInverted(img.pixel(0, 55)));
    EXPECT_TRUE(isAmberGrid(img.pixel(0, 52)));
    // Centre line and cursor.
    EXPECT_EQ(QColor(img.pixel(200, 10)), QColor(0, 128, 0));
    EXPECT_EQ(QColor(img.pixel(40, 64)), QColor(Qt::white)) << "cursor at point 1";
    EXPECT_EQ(QColor(img.pixel(0, 64)), QColor(Qt::black));
    // No signal removes the bar.
    view->plotScopePoint(false, 0);
    img = plotImage();
    EXPECT_TRUE(isAmberGrid(img.pixel(40, 30)));
}

TEST_F(ScopeTest, StaticMapDrawsHeardChannelsOnly) {
    main().step = 10;               // 200 kHz span around 145 MHz, start 144.9 MHz
    addChannel(144'800'000, 1, 10); // below the window
    addChannel(144'900'000, 1, 15); // at the start: x 0
    addChannel(145'000'000, 0, 10); // not heard: no bar
    addChannel(145'050'000, 1, 0);  // heard, level 0: one-pixel bar at x 300
    addChannel(145'200'000, 1, 10); // above the window
    core.setOperatingMode(4);
    const QImage img = plotImage();
    EXPECT_TRUE(isInverted(img.pixel(0, 10))) << "level 15 reaches y 5";
    EXPECT_TRUE(isAmberGrid(img.pixel(100, 40)));
    EXPECT_EQ(QColor(img.pixel(200, 30)), QColor(0, 128, 0)) << "no bar on the unheard channel";
    EXPECT_TRUE(isInverted(img.pixel(300, 62)));
    EXPECT_TRUE(isAmberGrid(img.pixel(300, 61))) << "level 0 is one pixel high";
}

TEST_F(ScopeTest, PointerAndClicksTune) {
    main().step = 10;
    core.setOperatingMode(3);
    const int h = core.bandScope().window().barHalfWidth; // 20
    QTest::mouseMove(&panel(), QPoint(50 + 200 - h, 20));
    emit panel().pointerMoved(50 + 200 - h);
    EXPECT_EQ(panel().pointerText().text(), " 145.000000");
    emit panel().pointerMoved(-1);
    EXPECT_EQ(panel().pointerText().text(), "");
    QTest::mouseClick(&panel(), Qt::LeftButton, {}, QPoint(50 + 220, 30));
    EXPECT_EQ(main().frequency, 145'020'000u);
    EXPECT_EQ(params().manualTuning, 1);
    EXPECT_EQ(core.bandScope().window().sweepIndex, 6);
    QTest::mouseClick(&panel().restartKey(), Qt::LeftButton);
    EXPECT_EQ(params().manualTuning, 0);
    // The right button re-centres the scope.
    QTest::mouseClick(&panel(), Qt::RightButton, {}, QPoint(50 + 380, 30));
    EXPECT_EQ(core.bandScope().window().centre, 145'100'000u);
    EXPECT_EQ(core.modes.back(), 3);
}

#include "ui/RepaintPacer.h"

#include "fakes/FakeTimerService.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace kovo::test {
namespace {

class CountingWidget : public QWidget {
public:
    int paints = 0;
    QColor painted;
    QColor colour = Qt::black;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        painted = colour;
        QPainter(this).fillRect(rect(), colour);
    }
};

// Hands over every posted event (the update requests among them) without
// waiting: the pacer's notion of time is the manual clock alone.
void deliverPosted() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

struct PacedWindow {
    ManualClock clock{1'000'000};
    CountingWidget window;
    test::FakeTimerService* timers = nullptr;
    RepaintPacer* pacer = nullptr;

    PacedWindow() {
        window.resize(40, 40);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        deliverPosted();
        auto fake = std::make_unique<test::FakeTimerService>(clock);
        timers = fake.get();
        pacer = new RepaintPacer(window, std::move(fake), clock, std::chrono::milliseconds(40));
    }
    void repaintIn(QColor c) {
        window.colour = c;
        window.update();
        deliverPosted();
    }
};

TEST(RepaintPacer, PaintsAtOnceAfterAQuietSpellAndGathersQuickRepaintsIntoOneLaterPass) {
    PacedWindow w;
    const int before = w.window.paints;
    w.repaintIn(Qt::red);
    ASSERT_EQ(w.window.paints, before + 1) << "the first repaint goes out at once";
    EXPECT_EQ(w.window.painted, QColor(Qt::red));

    w.clock.advance(10);
    for (QColor c : {QColor(Qt::green), QColor(Qt::blue), QColor(Qt::yellow)})
        w.repaintIn(c);
    EXPECT_EQ(w.window.paints, before + 1) << "repaints within the interval wait";
    EXPECT_GT(w.pacer->repaintsHeld(), 0);
    EXPECT_EQ(w.timers->intervalOf(1), 30) << "the held repaint waits for the rest of the interval";

    w.timers->advance(29);
    EXPECT_EQ(w.window.paints, before + 1);
    w.timers->advance(1);
    EXPECT_EQ(w.window.paints, before + 2) << "one pass paints what changed meanwhile";
    EXPECT_EQ(w.window.painted, QColor(Qt::yellow)) << "and it paints the latest state";
    EXPECT_FALSE(w.timers->isTimerActive(1)) << "the release does not repeat";

    w.clock.advance(40); // a quiet spell as long as the interval
    w.repaintIn(Qt::cyan);
    EXPECT_EQ(w.window.paints, before + 3);
    EXPECT_EQ(w.window.painted, QColor(Qt::cyan));
}

} // namespace
} // namespace kovo::test

#pragma once
#include <QPixmap>
#include <QWidget>
#include <memory>

namespace kovo {

class TimerService;

// The borderless picture shown at start. It closes itself after seven seconds
// or at the first key or mouse-button press anywhere in the program.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    static constexpr int durationMs = 7000;

    explicit SplashScreen(std::unique_ptr<TimerService> timers, QWidget* parent = nullptr);
    ~SplashScreen() override;

    // Shows the picture centred on the screen and starts the countdown.
    void start();
    static QPixmap artwork();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void dismiss();

    std::unique_ptr<TimerService> timers_;
    QPixmap picture_;
    bool dismissed_ = false;
};

} // namespace kovo

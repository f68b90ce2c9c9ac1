#pragma once
#include "ui/PanelBase.h"

#include <array>

namespace kovo {

class DirectionPad;
class ImageKey;
class PanelList;
struct PanelFonts;

// The strip of main keys: switches, demodulation modes, operating modes, auto
// and adjust, +MEM and +PASS, priority, the step and attenuator lists and the
// direction pad.
class ControlPanel1 : public PanelBase {
    Q_OBJECT
public:
    enum Key {
        Moni,
        Pause,
        Vcs,
        Log,
        AsM,
        Nfm,
        Wfm,
        Am,
        Lsb,
        Usb,
        Cw,
        Ms,
        Ps,
        OneMhz,
        Scope,
        Static,
        Vfo,
        Auto,
        Adj,
        PlusMem,
        PlusPass,
        Pri,
        KeyCount
    };
    static constexpr int kFirstKeyId = 2300;
    static constexpr int kStepListId = 2200;
    static constexpr int kAttListId = 2201;

    ControlPanel1(const PanelFonts& fonts, QWidget* parent);

    ImageKey& key(int k) const { return *keys_[std::size_t(k)]; }
    PanelList& stepList() const { return *stepList_; }
    PanelList& attList() const { return *attList_; }
    DirectionPad& pad() const { return *pad_; }

    void setKey(int k, int state);
    // The VCS key is shown for the AR3000A only.
    void showVoiceSquelchKey(bool shown);
    // A key or the attenuator list the receiver cannot use is disabled, with
    // the reason as its tooltip.
    void offerKey(int k, bool usable, const QString& whyNot);
    void offerAttenuator(bool usable, const QString& whyNot);

signals:
    void keyClicked(int key);
    void stepChosen(int row);
    void attenuatorChosen(int row);

protected:
    void paintBackdrop(QPainter& p) override;

private:
    QList<QWidget*> readingOrder() const;

    std::array<ImageKey*, KeyCount> keys_{};
    PanelList* stepList_ = nullptr;
    PanelList* attList_ = nullptr;
    DirectionPad* pad_ = nullptr;
};

} // namespace kovo

#pragma once
#include "app/dialogs/KovoDialog.h"

#include <array>

class QCheckBox;

namespace kovo {

class AppSettingsWriter;

// " Display Preference": "TopMost", shown as the check box "Autoscroll OFF ".
// The caller re-applies the window layout after OK.
class DisplayPreferenceDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit DisplayPreferenceDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    QCheckBox* topMost_;
};

// " Power control": the receiver's power control option, "PowerControl".
class PowerControlDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit PowerControlDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    QCheckBox* powerControl_;
};

// " Options": which receiver options are installed, six check boxes.
class OptionsDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    std::array<QCheckBox*, 6> boxes_{};
};

} // namespace kovo

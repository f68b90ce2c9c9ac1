#pragma once
#include "app/dialogs/KovoDialog.h"
#include "data/AppSettings.h"

#include <array>

class QCheckBox;

namespace kovo {

class AppSettingsWriter;

// A dialog with one check box bound to one setting, stored on OK.
class SingleCheckBoxDialog : public KovoDialog {
    Q_OBJECT
protected:
    SingleCheckBoxDialog(const QString& title, const QString& caption, int widthDu,
                         AppSettingsWriter& writer, int AppSettings::*field,
                         void (AppSettingsWriter::*store)(int), QWidget* parent);
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    void (AppSettingsWriter::*store_)(int);
    QCheckBox* box_;
};

// " Display Preference": "TopMost", shown as the check box "Autoscroll OFF ".
// The caller re-applies the window layout after OK.
class DisplayPreferenceDialog final : public SingleCheckBoxDialog {
    Q_OBJECT
public:
    explicit DisplayPreferenceDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);
};

// " Power control": the receiver's power control option, "PowerControl".
class PowerControlDialog final : public SingleCheckBoxDialog {
    Q_OBJECT
public:
    explicit PowerControlDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);
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

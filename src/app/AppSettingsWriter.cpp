#include "app/AppSettingsWriter.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"

namespace kovo {

ReceiverOptions ReceiverOptions::from(const AppSettings& s) {
    return {s.optAfc, s.optCtcss, s.optDecoder, s.optNb, s.optSam, s.optFilter};
}

AppSettingsWriter::AppSettingsWriter(AppSettings& settings, SettingsStore& store)
    : settings_(settings), store_(store) {}

void AppSettingsWriter::store(int AppSettings::*field, int value) {
    const settings::IntSetting& setting = settings::intSettingFor(field);
    settings_.*field = value;
    store_.writeInt(setting.section, setting.name, value);
    reportFailedWrite();
}

void AppSettingsWriter::reportFailedWrite() {
    if (store_.lastWriteSucceeded() || failureReported_ || !report_)
        return;
    failureReported_ = true;
    report_();
}

void AppSettingsWriter::setPosition(int x, int y) {
    store(&AppSettings::positionX, x);
    store(&AppSettings::positionY, y);
}

void AppSettingsWriter::setShowTitle(int shown) {
    store(&AppSettings::showTitle, shown);
}

void AppSettingsWriter::setShowControls(int control1, int control2) {
    store(&AppSettings::showControl1, control1);
    store(&AppSettings::showControl2, control2);
}

void AppSettingsWriter::setShowDataBase(int shown) {
    store(&AppSettings::showDataBase, shown);
}

void AppSettingsWriter::setPort(int portNum, int commSpeed) {
    store(&AppSettings::portNum, portNum);
    store(&AppSettings::commSpeed, commSpeed);
}

void AppSettingsWriter::setDevice(int device) {
    store(&AppSettings::device, device);
}
void AppSettingsWriter::setAfGain(int gain) {
    store(&AppSettings::afGain, gain);
}
void AppSettingsWriter::setCwPitch(int pitch) {
    store(&AppSettings::cwPitch, pitch);
}

void AppSettingsWriter::setBandWidths(int nfm, int wfm, int am) {
    store(&AppSettings::nfmBandWidth, nfm);
    store(&AppSettings::wfmBandWidth, wfm);
    store(&AppSettings::amBandWidth, am);
}

void AppSettingsWriter::setTopMost(int topMost) {
    store(&AppSettings::topMost, topMost);
}
void AppSettingsWriter::setAfGainRange(int range) {
    store(&AppSettings::afGainRange, range);
}

void AppSettingsWriter::setPowerControl(int powerControl) {
    store(&AppSettings::powerControl, powerControl);
}

void AppSettingsWriter::setOptions(const ReceiverOptions& options) {
    store(&AppSettings::optAfc, options.afc);
    store(&AppSettings::optCtcss, options.ctcss);
    store(&AppSettings::optDecoder, options.decoder);
    store(&AppSettings::optNb, options.nb);
    store(&AppSettings::optSam, options.sam);
    store(&AppSettings::optFilter, options.filter);
}

void AppSettingsWriter::setDtmf(int shown) {
    store(&AppSettings::dtmf, shown);
}
void AppSettingsWriter::setElm(int shown) {
    store(&AppSettings::elm, shown);
}

void AppSettingsWriter::setMbMultiSelect(int multiSelect) {
    store(&AppSettings::mbMultiSelect, multiSelect);
}

void AppSettingsWriter::setComDevice(int portNumber, const std::string& path) {
    if (portNumber < 1 || portNumber > settings::kComPortCount)
        return;
    settings_.comDevice[portNumber - 1] = path;
    store_.writeString(settings::kHardwareSection, settings::comDeviceName(portNumber), path);
    reportFailedWrite();
}

void AppSettingsWriter::setHamlib(int useHamlib, int model, const std::string& port, int speed) {
    store(&AppSettings::useHamlib, useHamlib);
    store(&AppSettings::hamlibModel, model);
    store(&AppSettings::hamlibSpeed, speed);
    settings_.hamlibPort = port;
    store_.writeString(settings::kHardwareSection, settings::kHamlibPortName, port);
    reportFailedWrite();
}

void AppSettingsWriter::setHamlibSquelch(bool useDcd, int thresholdDb) {
    store(&AppSettings::hamlibUseDcd, useDcd ? 1 : 0);
    store(&AppSettings::hamlibThreshold, thresholdDb);
}

} // namespace kovo

#pragma once
#include "data/AppSettings.h"

#include <array>
#include <climits>
#include <string>

namespace kovo::settings {

inline constexpr const char* kSoftSection = "Soft Setting";
inline constexpr const char* kHardwareSection = "Hardware Setting";
inline constexpr const char* kRecentFileSection = "Recent File List";

// One integer value of the store, bound to its AppSettings field. The default
// is the field's initial value in AppSettings.
struct IntSetting {
    const char* section;
    const char* name;
    int AppSettings::*field;
    // Values that describe installed options or open tool windows are written
    // when they change but every run starts with them at 0.
    bool readAtStart = true;
    // A stored value above this loads as the default (a frame position left
    // on a larger screen comes back on screen); negative values stay.
    int loadLimit = INT_MAX;
};

inline constexpr std::array<IntSetting, 32> kIntSettings{{
    {kSoftSection, "PositionX", &AppSettings::positionX, true, 1600},
    {kSoftSection, "PositionY", &AppSettings::positionY, true, 1300},
    {kSoftSection, "ShowTitle", &AppSettings::showTitle},
    {kSoftSection, "ShowControl1", &AppSettings::showControl1},
    {kSoftSection, "ShowControl2", &AppSettings::showControl2},
    {kSoftSection, "ShowDataBase", &AppSettings::showDataBase},
    {kSoftSection, "TopMost", &AppSettings::topMost},
    {kSoftSection, "AFGain", &AppSettings::afGain},
    {kSoftSection, "AfGainRange", &AppSettings::afGainRange},
    {kSoftSection, "CwPitch", &AppSettings::cwPitch},
    {kSoftSection, "NFMBandWidth", &AppSettings::nfmBandWidth},
    {kSoftSection, "WFMBandWidth", &AppSettings::wfmBandWidth},
    {kSoftSection, "AMBandWidth", &AppSettings::amBandWidth},
    {kSoftSection, "PowerControl", &AppSettings::powerControl},
    {kSoftSection, "MBMultiSelect", &AppSettings::mbMultiSelect},
    {kSoftSection, "OptAfc", &AppSettings::optAfc, false},
    {kSoftSection, "OptCtcss", &AppSettings::optCtcss, false},
    {kSoftSection, "OptDecoder", &AppSettings::optDecoder, false},
    {kSoftSection, "OptNb", &AppSettings::optNb, false},
    {kSoftSection, "OptSam", &AppSettings::optSam, false},
    {kSoftSection, "OptFilter", &AppSettings::optFilter, false},
    {kSoftSection, "DTMF", &AppSettings::dtmf, false},
    {kSoftSection, "ELM", &AppSettings::elm, false},
    {kHardwareSection, "PortNum", &AppSettings::portNum},
    {kHardwareSection, "CommSpeed", &AppSettings::commSpeed},
    {kHardwareSection, "Device", &AppSettings::device},
    {kHardwareSection, "UseHamlib", &AppSettings::useHamlib},
    {kHardwareSection, "HamlibModel", &AppSettings::hamlibModel},
    {kHardwareSection, "HamlibSpeed", &AppSettings::hamlibSpeed},
    {kHardwareSection, "HamlibThreshold", &AppSettings::hamlibThreshold},
    {kHardwareSection, "HamlibSettle", &AppSettings::hamlibSettle},
    {kHardwareSection, "HamlibUseDcd", &AppSettings::hamlibUseDcd},
}};

inline constexpr int kComPortCount = 4;
inline constexpr int kRecentFileCount = 5;

// "Language" in "Soft Setting": "System", "ja" or "en".
inline constexpr const char* kLanguageName = "Language";
// "HamlibPort" in "Hardware Setting": the radio's device path or host:port.
inline constexpr const char* kHamlibPortName = "HamlibPort";
// "Com1Device" ... "Com4Device" in "Hardware Setting".
std::string comDeviceName(int portNumber);
// "File1" ... "File5" in "Recent File List".
std::string recentFileName(int index);

// The table row of an AppSettings field; every int field has one.
const IntSetting& intSettingFor(int AppSettings::*field);

} // namespace kovo::settings

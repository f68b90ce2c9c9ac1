#include "ui/database/DatabaseMenus.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DatabaseEdits.h"
#include "data/ValueTables.h"
#include "link/ReceiverFeatures.h"

#include <QCoreApplication>
#include <QMenu>

#include <cstdio>
#include <iterator>

namespace kovo::dbmenus {
namespace {

struct Item {
    int command; // 0: separator
    const char* text;
};

constexpr Item kStepItems[] = {
    {32812, "50Hz"},  {32813, "100Hz"}, {32814, "1kHz"},    {32815, "5kHz"},  {32816, "6.25kHz"},
    {32817, "9kHz"},  {32818, "10kHz"}, {32819, "12.5kHz"}, {32820, "15kHz"}, {32821, "20kHz"},
    {32822, "25kHz"}, {32823, "50kHz"}, {32824, "100kHz"}};
constexpr Item kModeItems[] = {{32825, "NFM"}, {32826, "WFM"}, {32827, "AM"}, {32828, "LSB"},
                               {32829, "USB"}, {32830, "CW"},  {0, ""},       {32831, "SAM"},
                               {32832, "SAL"}, {32833, "SAH"}};
constexpr Item kAttenuatorItems[] = {{32841, "0dB"}, {32842, "10dB"}};
constexpr Item kAntennaItems[] = {
    {32845, "ANT 1"}, {32846, "ANT 2"}, {32847, "ANT 3"}, {32848, "ANT 4"}};

// The view-switching tail of each menu, texts as each menu has them; in
// English every menu names each view alike.
constexpr Item kChannelViews[] = {{32783, "Memory Backup"},
                                  {32784, "Scanning Conditions"},
                                  {32785, "Scan Block (PASS) Conditions"},
                                  {32854, "Auto Mode Conditions"},
                                  {32869, "Selection/Input Conditions"},
                                  {32873, "Log"}};
constexpr Item kBankViews[] = {
    {32860, "Memory Channels"},
    {32784, QT_TRANSLATE_NOOP("DatabaseMenus", "Scannig Condition")},
    {32785, QT_TRANSLATE_NOOP("DatabaseMenus", "Scan Block (PASS) Condition")},
    {32854, QT_TRANSLATE_NOOP("DatabaseMenus", "Auto Mode Condition")},
    {32869, QT_TRANSLATE_NOOP("DatabaseMenus", "Selection/Input Condition")},
    {32873, "Log"}};
constexpr Item kSearchBankViews[] = {
    {32860, "Memory Channels"},
    {32783, QT_TRANSLATE_NOOP("DatabaseMenus", "Mem Backup")},
    {32785, QT_TRANSLATE_NOOP("DatabaseMenus", "Scan Block (PASS) condition")},
    {32854, QT_TRANSLATE_NOOP("DatabaseMenus", "Auto Mode Condition")},
    {32869, QT_TRANSLATE_NOOP("DatabaseMenus", "Selection/Input condition")},
    {32873, "Log"}};
constexpr Item kPassViews[] = {
    {32860, "Memory Channels"},
    {32783, "Memory Backup"},
    {32784, QT_TRANSLATE_NOOP("DatabaseMenus", "Scanning Condition")},
    {32854, QT_TRANSLATE_NOOP("DatabaseMenus", "Auto Mode Condition")},
    {32869, QT_TRANSLATE_NOOP("DatabaseMenus", "Selection/Input Condition")},
    {32873, "Log"}};
constexpr Item kAutoViews[] = {
    {32860, "Memory Channels"},
    {32783, QT_TRANSLATE_NOOP("DatabaseMenus", "Memoru Backup")},
    {32784, "Scanning Conditions"},
    {32785, QT_TRANSLATE_NOOP("DatabaseMenus", "Scan Block (PASS) Condition")},
    {32869, QT_TRANSLATE_NOOP("DatabaseMenus", "Selection/Input Condition")},
    {32873, "Log"}};
constexpr Item kStringViews[] = {
    {32860, "Memory Channels"},
    {32783, "Memory Backup"},
    {32784, "Scanning Conditions"},
    {32785, QT_TRANSLATE_NOOP("DatabaseMenus", "Scan Block (PASS) Condition")},
    {32854, QT_TRANSLATE_NOOP("DatabaseMenus", "Auto Mode Condition")},
    {32869, QT_TRANSLATE_NOOP("DatabaseMenus", "Selection/Input Condition")},
    {32873, "Log"}};
constexpr Item kLogViews[] = {
    {32860, "Memory Channels"},
    {32783, "Memory Backup"},
    {32784, QT_TRANSLATE_NOOP("DatabaseMenus", "Scanning Condition")},
    {32785, QT_TRANSLATE_NOOP("DatabaseMenus", "Scan Block (PASS) condition")},
    {32854, QT_TRANSLATE_NOOP("DatabaseMenus", "Auto Mode condition")},
    {32869, QT_TRANSLATE_NOOP("DatabaseMenus", "Selection/Input condition")}};

void add(QMenu* menu, int command, const QString& text) {
    if (command == 0) {
        menu->addSeparator();
        return;
    }
    QAction* a = menu->addAction(text);
    a->setData(command);
}

template <std::size_t N> void addAll(QMenu* menu, const Item (&items)[N]) {
    for (const Item& item : items)
        add(menu, item.command, QCoreApplication::translate("DatabaseMenus", item.text));
}

template <std::size_t N> void addPopup(QMenu* menu, const char* title, const Item (&items)[N]) {
    addAll(menu->addMenu(QString::fromLatin1(title)), items);
}

void addUsePopup(QMenu* menu, int yes, int no) {
    QMenu* use = menu->addMenu(QStringLiteral("Use"));
    add(use, yes, QStringLiteral("Yes"));
    add(use, no, QStringLiteral("No"));
}

void addIfBandwidthPopup(QMenu* menu) {
    QMenu* popup = menu->addMenu(QStringLiteral("IF Bandwidth"));
    for (int i = 0; i < int(IfBandwidthNameTable.size()); ++i)
        add(popup, FirstIfBandwidth + i,
            QString::fromLatin1(IfBandwidthNameTable[std::size_t(i)].data()));
}

// Step, mode, attenuator, and the IF bandwidth and antenna that go with them.
void addSettingsPopups(QMenu* menu) {
    addPopup(menu, "Step", kStepItems);
    addPopup(menu, "Mode", kModeItems);
    addPopup(menu, "Attenuator", kAttenuatorItems);
    addIfBandwidthPopup(menu);
    addPopup(menu, "Antenna", kAntennaItems);
}

void addCtcssPopup(QMenu* menu) {
    QMenu* popup = menu->addMenu(QStringLiteral("CTCSS"));
    for (int t = 0; t <= 50; ++t)
        add(popup, FirstCtcss + t,
            QString::fromLatin1(ctcssName(t).data(), int(ctcssName(t).size())).trimmed());
}

void addBankPopup(QMenu* menu, const CKovo5Doc& doc) {
    QMenu* banks =
        menu->addMenu(QCoreApplication::translate("DatabaseMenus", "Editing Memory Banks ."));
    add(banks, FirstBank, QStringLiteral("00 : Other"));
    banks->addSeparator();
    for (int b = 1; b <= 20; ++b) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d : ", b);
        add(banks, FirstBank + b,
            QString::fromLatin1(number) +
                QString::fromStdString(cp932ToUtf8(doc.memoryBanks[std::size_t(b)].name)));
    }
    banks->addSeparator();
    add(banks, kLastBank, QStringLiteral("21 : Pass Channel"));
    banks->addSeparator();
    add(banks, MultiBankMode, QStringLiteral("Multi Bank Mode"));
}

void buildChannelMenu(QMenu* m, const CKovo5Doc& doc, const AppSettings& settings) {
    addBankPopup(m, doc);
    add(m, 32866, QStringLiteral("Editing Frequency"));
    addSettingsPopups(m);
    if (settings.optCtcss == 1)
        addCtcssPopup(m);
    add(m, 32849, QStringLiteral("Editing Remarks"));
    m->addSeparator();
    add(m, ActualMemoryNames, QStringLiteral("Actual Memory Names"));
    m->addSeparator();
    add(m, Delete, QStringLiteral("Delete"));
    m->addSeparator();
    addAll(m, kChannelViews);
}

// Without the synchronous-AM option the Mode popup ends with CW.
void removeSynchronousAm(QMenu& menu) {
    for (QAction* a : menu.actions()) {
        if (QMenu* sub = a->menu()) {
            removeSynchronousAm(*sub);
            continue;
        }
        const int c = a->data().toInt();
        if (c >= FirstMode + 6 && c <= kLastMode)
            menu.removeAction(a);
    }
    const QList<QAction*> left = menu.actions();
    if (!left.isEmpty() && left.back()->isSeparator())
        menu.removeAction(left.back());
}

template <typename Record> void checkSettings(std::set<int>& checked, const Record& r) {
    checked.insert(r.step >= 1 ? FirstStep + int(r.step) - 1 : FirstStep);
    checked.insert(FirstMode + int(r.mode));
    checked.insert(FirstAttenuator + int(r.attenuator));
    checked.insert(FirstIfBandwidth + int(r.ifBandwidth));
    checked.insert(FirstAntenna + int(r.antenna));
}

} // namespace

namespace {

// Menu items that need a feature of the receiver: commands first to last.
struct FeatureItems {
    int first;
    int last;
    ReceiverFeature feature;
};

// The first antenna and no attenuation are what every receiver has; the
// synchronous AM modes are heard as AM.
constexpr FeatureItems kFeatureItems[] = {
    {FirstAntenna + 1, FirstAntenna + int(std::size(kAntennaItems)) - 1, ReceiverFeature::Antenna},
    {FirstMode + 0, FirstMode + 0, ReceiverFeature::NarrowFm},
    {FirstMode + 1, FirstMode + 1, ReceiverFeature::WideFm},
    {FirstMode + 2, FirstMode + 2, ReceiverFeature::Am},
    {FirstMode + 3, FirstMode + 3, ReceiverFeature::Lsb},
    {FirstMode + 4, FirstMode + 4, ReceiverFeature::Usb},
    {FirstMode + 5, FirstMode + 5, ReceiverFeature::Cw},
    {FirstMode + 6, kLastMode, ReceiverFeature::Am},
    {FirstAttenuator + 1, FirstAttenuator + int(std::size(kAttenuatorItems)) - 1,
     ReceiverFeature::Attenuator},
};

} // namespace

void offerFeatures(QMenu& menu, const ReceiverFeatures* features) {
    if (!features)
        return;
    for (QAction* a : menu.actions())
        if (QMenu* sub = a->menu())
            sub->setToolTipsVisible(true);
    for (QAction* a : commandActions(menu)) {
        const int command = a->data().toInt();
        for (const FeatureItems& items : kFeatureItems) {
            if (command < items.first || command > items.last || features->has(items.feature))
                continue;
            a->setEnabled(false);
            a->setToolTip(QString::fromStdString(features->whyMissing(items.feature)));
        }
    }
}

std::vector<QAction*> commandActions(QMenu& menu) {
    std::vector<QAction*> out;
    for (QAction* a : menu.actions()) {
        if (QMenu* sub = a->menu()) {
            const std::vector<QAction*> inner = commandActions(*sub);
            out.insert(out.end(), inner.begin(), inner.end());
        } else if (!a->isSeparator()) {
            out.push_back(a);
        }
    }
    return out;
}

std::set<int> checkedItems(const CKovo5Doc& doc, const AppSettings& settings, int view,
                           const std::vector<int>& rows) {
    std::set<int> checked;
    const int set = doc.controlParams.currentLinkSet;
    for (int row : rows) {
        const auto r = std::size_t(row);
        switch (view) {
        case 0: {
            if (row >= doc.channelCount)
                break;
            const CFrequencyData& ch = *doc.channels[r];
            for (int b = 0; b < kBankCount; ++b)
                if (std::uint32_t(ch.bankMask) & (1u << b))
                    checked.insert(FirstBank + b);
            checkSettings(checked, ch);
            checked.insert(FirstCtcss + int(ch.ctcss));
            break;
        }
        case 1:
            if (row < kBankCount && set >= 0 && set < kLinkSetCount)
                checked.insert(doc.memoryBanks[r].linkFlags[std::size_t(set)] == 1 ? BankUseYes
                                                                                   : BankUseNo);
            break;
        case 2:
            if (row < kRangeCount) {
                checked.insert(doc.searchBanks[r].inUse ? SearchUseYes : SearchUseNo);
                checkSettings(checked, doc.searchBanks[r]);
            }
            break;
        case 3:
            if (row < kRangeCount)
                checked.insert(doc.passRanges[r].inUse ? PassUseYes : PassUseNo);
            break;
        case 4:
            if (row < kRangeCount) {
                checked.insert(doc.autoRanges[r].inUse ? AutoUseYes : AutoUseNo);
                checkSettings(checked, doc.autoRanges[r]);
            }
            break;
        default:
            break;
        }
    }
    if (view == 0 && settings.mbMultiSelect == 1)
        checked.insert(MultiBankMode);
    return checked;
}

std::unique_ptr<QMenu> buildMenu(const CKovo5Doc& doc, const AppSettings& settings, int view,
                                 bool recorderLinked, const std::set<int>& checked) {
    auto menu = std::make_unique<QMenu>();
    QMenu* m = menu.get();
    switch (view) {
    case 0:
        buildChannelMenu(m, doc, settings);
        break;
    case 1:
        addUsePopup(m, BankUseYes, BankUseNo);
        add(m, 32852, QStringLiteral("Editing Bank Names"));
        m->addSeparator();
        addAll(m, kBankViews);
        break;
    case 2:
        addUsePopup(m, SearchUseYes, SearchUseNo);
        add(m, 32865, QCoreApplication::translate("DatabaseMenus", "Editing Frequensy"));
        addSettingsPopups(m);
        add(m, 32870, QStringLiteral("Editing Comment"));
        m->addSeparator();
        addAll(m, kSearchBankViews);
        break;
    case 3:
        addUsePopup(m, PassUseYes, PassUseNo);
        add(m, 32859, QCoreApplication::translate("DatabaseMenus", "Editing Freqency"));
        add(m, 32864, QStringLiteral("Editing Comment"));
        m->addSeparator();
        addAll(m, kPassViews);
        break;
    case 4:
        addUsePopup(m, AutoUseYes, AutoUseNo);
        add(m, 32867, QCoreApplication::translate("DatabaseMenus", "Editing Freqency"));
        addSettingsPopups(m);
        add(m, 32871, QStringLiteral("Editing Remarks"));
        m->addSeparator();
        add(m, Cut, QStringLiteral("Cut"));
        add(m, Paste, QStringLiteral("Paste"));
        m->addSeparator();
        addAll(m, kAutoViews);
        break;
    case 5:
        add(m, 32868, QCoreApplication::translate("DatabaseMenus", "Editions Search Preferences"));
        m->addSeparator();
        addAll(m, kStringViews);
        break;
    case 6:
        if (recorderLinked) {
            add(m, StartPlayback, QStringLiteral("Start Playback"));
            add(m, StopPlayback, QStringLiteral("Stop Playback"));
        }
        add(m, LogAnalyze, QStringLiteral("Log Analyze"));
        m->addSeparator();
        add(m, LogClear, QStringLiteral("Log Clear"));
        m->addSeparator();
        addAll(m, kLogViews);
        break;
    default:
        break;
    }
    if ((view == 0 || view == 2 || view == 4) && settings.optSam == 0)
        removeSynchronousAm(*m);
    // Only items that carry a mark are checkable: styles draw an empty box
    // beside every other checkable item.
    for (QAction* a : commandActions(*m)) {
        if (checked.count(a->data().toInt())) {
            a->setCheckable(true);
            a->setChecked(true);
        }
    }
    return menu;
}

} // namespace kovo::dbmenus

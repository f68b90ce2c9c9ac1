#pragma once
#include "app/SettingsStore.h"

#include <QString>
#include <QVariant>
#include <memory>

class QSettings;

namespace kovo {

// The settings store as an INI file through QSettings. Sections are INI groups.
class QSettingsStore final : public SettingsStore {
public:
    // The program's own file: $XDG_CONFIG_HOME/Fennelworks/KOVO3000.ini.
    QSettingsStore();
    // Any INI file (tests, or a settings file named by the user).
    explicit QSettingsStore(const QString& iniFilePath);
    ~QSettingsStore() override;

    std::optional<int> readInt(const std::string& section, const std::string& name) const override;
    std::optional<std::string> readString(const std::string& section,
                                          const std::string& name) const override;
    void writeInt(const std::string& section, const std::string& name, int value) override;
    void writeString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    void remove(const std::string& section, const std::string& name) override;

    bool lastWriteSucceeded() const override;

    QString fileName() const;

private:
    QVariant readValue(const std::string& section, const std::string& name) const;
    void writeValue(const std::string& section, const std::string& name, const QVariant& value);
    QString groupFor(const std::string& section) const;

    std::unique_ptr<QSettings> settings_;
};

} // namespace kovo

#include "app/QSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <limits>

namespace kovo {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The stored spelling of `name` among `keys`: the exact spelling when present,
// otherwise the first that differs only in letter case.
std::optional<QString> storedSpelling(const QStringList& keys, const QString& name) {
    if (keys.contains(name))
        return name;
    for (const QString& key : keys) {
        if (sameName(key, name))
            return key;
    }
    return std::nullopt;
}

// A group is left open for the lifetime of this object.
class GroupScope {
public:
    GroupScope(QSettings& settings, const QString& group) : settings_(settings) {
        settings_.beginGroup(group);
    }
    ~GroupScope() { settings_.endGroup(); }
    GroupScope(const GroupScope&) = delete;
    GroupScope& operator=(const GroupScope&) = delete;

private:
    QSettings& settings_;
};

// The settings hold the web remote's access token: the file is the user's
// alone. A file made by an earlier version is closed to others when found.
void keepPrivate(const QString& path) {
    constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                 QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileInfo file(path);
    if (file.exists() && (file.permissions() & kOthers))
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A new file is made owner-only before anything is written to it; the
// settings are then saved over it keeping its permissions.
void createPrivate(const QString& path) {
    if (QFileInfo::exists(path) || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

QSettingsStore::QSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Fennelworks"),
                                            QStringLiteral("KOVO3000"))) {
    keepPrivate(settings_->fileName());
}

QSettingsStore::QSettingsStore(const QString& iniFilePath)
    : settings_(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat)) {
    keepPrivate(settings_->fileName());
}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::fileName() const {
    return settings_->fileName();
}

bool QSettingsStore::lastWriteSucceeded() const {
    return settings_->status() == QSettings::NoError;
}

QString QSettingsStore::groupFor(const std::string& section) const {
    const QString wanted = QString::fromStdString(section);
    return storedSpelling(settings_->childGroups(), wanted).value_or(wanted);
}

QVariant QSettingsStore::readValue(const std::string& section, const std::string& name) const {
    GroupScope group(*settings_, groupFor(section));
    const auto key = storedSpelling(settings_->childKeys(), QString::fromStdString(name));
    return key ? settings_->value(*key) : QVariant();
}

std::optional<int> QSettingsStore::readInt(const std::string& section,
                                           const std::string& name) const {
    const QVariant value = readValue(section, name);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<std::string> QSettingsStore::readString(const std::string& section,
                                                      const std::string& name) const {
    const QVariant value = readValue(section, name);
    if (!value.isValid())
        return std::nullopt;
    // An unquoted comma makes the INI reader split the text into a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

void QSettingsStore::writeValue(const std::string& section, const std::string& name,
                                const QVariant& value) {
    {
        GroupScope group(*settings_, groupFor(section));
        const QStringList keys = settings_->childKeys();
        const QString wanted = QString::fromStdString(name);
        const QString target = storedSpelling(keys, wanted).value_or(wanted);
        for (const QString& key : keys) {
            if (key != target && sameName(key, wanted))
                settings_->remove(key);
        }
        if (value.isValid())
            settings_->setValue(target, value);
        else
            settings_->remove(target);
    }
    createPrivate(settings_->fileName());
    settings_->sync();
    keepPrivate(settings_->fileName());
}

void QSettingsStore::writeInt(const std::string& section, const std::string& name, int value) {
    writeValue(section, name, value);
}

void QSettingsStore::writeString(const std::string& section, const std::string& name,
                                 const std::string& value) {
    writeValue(section, name, QString::fromStdString(value));
}

void QSettingsStore::remove(const std::string& section, const std::string& name) {
    writeValue(section, name, QVariant());
}

} // namespace kovo

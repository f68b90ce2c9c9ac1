#pragma once
// For tests that start the programs as processes: an environment whose home,
// settings and data folders lie in the test's own temporary folder, on the
// offscreen platform, so no run touches the user's files or needs a display.
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace kovo::test {

inline QProcessEnvironment isolatedEnvironment(const QTemporaryDir& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

} // namespace kovo::test

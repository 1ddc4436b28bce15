#include "tools/desktop/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace wt::desktop {

namespace {

// An Exec argument as the desktop entry format quotes it: in double quotes, with '"',
// '`', '$' and '\' escaped by a backslash.
QString quotedArgument(const QString& argument) {
    QString quoted = "\"";
    for (const QChar c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

QString autostartPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/autostart/" WT_APP_ID ".desktop";
}

bool autostartEnabled() {
    return QFileInfo::exists(autostartPath());
}

bool setAutostart(bool on, const QString& executable, QString* error) {
    const QString path = autostartPath();
    if (!on) {
        if (!QFile::exists(path) || QFile::remove(path)) return true;
        *error = "cannot remove " + path;
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *error = "cannot make the folder of " + path;
        return false;
    }
    QSaveFile file(path);
    const QString entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=" WT_APP_NAME
        "\n"
        "Icon=" WT_APP_ID
        "\n"
        "Exec=" +
        quotedArgument(executable) + " " + kBackgroundOption +
        "\n"
        "NoDisplay=true\n"
        "X-GNOME-Autostart-enabled=true\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(entry.toUtf8()) < 0 || !file.commit()) {
        *error = "cannot write " + path + ": " + file.errorString();
        return false;
    }
    return true;
}

}  // namespace wt::desktop

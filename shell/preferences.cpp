#include "shell/preferences.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include <QSettings>
#include <QString>
#include <QStringDecoder>

#include "common/quoted.h"
#include "common/read_file.h"
#include "records/places.h"

namespace kestro::shell {

namespace {

QString fileName(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A settings file is text: UTF-8 without NUL bytes. Anything else is damaged, whatever an INI
// reader would make of it.
bool isText(const std::string& bytes) {
    if (bytes.find('\0') != std::string::npos) {
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !utf8.hasError();
}

}  // namespace

void keepQtSettingsOutOfTheUsersConfig() {
    // Below /dev/null, which is no folder, nothing can ever be created.
    const QString nowhere = QStringLiteral("/dev/null/kestro-keeps-no-qt-settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, nowhere);
    }
}

Preferences::Preferences(std::optional<std::filesystem::path> file, Note note)
    : file_(std::move(file)), note_(std::move(note)) {
    read();
}

Preferences Preferences::user() {
    return Preferences(records::preferencesPath(),
                       [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
}

void Preferences::read() {
    if (!file_) {
        return;
    }
    const auto bytes = readRegularFile(*file_, kPreferencesLimit);
    if (!bytes) {
        const ReadFailure& f = bytes.error();
        if (f.kind == ReadFailure::Kind::CannotOpen && f.error == ENOENT) {
            return;  // none kept yet: the defaults, and the first change makes the file
        }
        writable_ = false;
        tell("kestro: the preferences are not used: " + describe(f, *file_) +
             "; the defaults apply for this run");
        return;
    }
    // Read through the INI reader only once it is known to be a small regular file of text.
    QSettings ini(fileName(*file_), QSettings::IniFormat);
    if (!isText(bytes.value()) || ini.status() != QSettings::NoError) {
        writable_ = false;
        tell("kestro: the preferences are not used: " + quoted(*file_) +
             " is damaged; the defaults apply for this run");
        return;
    }
    for (const QString& key : ini.allKeys()) {
        values_[key.toStdString()] = ini.value(key);
    }
}

bool Preferences::get(const SwitchPreference& p) const {
    const auto it = values_.find(p.key);
    if (it == values_.end()) {
        return p.byDefault;
    }
    // The INI file keeps a switch as the text "true" or "false"; anything else is no value.
    if (it->second.typeId() == QMetaType::Bool) {
        return it->second.toBool();
    }
    const QString text = it->second.toString();
    if (text == QStringLiteral("true")) {
        return true;
    }
    if (text == QStringLiteral("false")) {
        return false;
    }
    return p.byDefault;
}

std::string Preferences::get(const TextPreference& p) const {
    const auto it = values_.find(p.key);
    if (it == values_.end() || it->second.typeId() != QMetaType::QString) {
        return p.byDefault;
    }
    return it->second.toString().toStdString();
}

void Preferences::set(const SwitchPreference& p, bool value) {
    if (get(p) != value || !values_.contains(p.key)) {
        store(p.key, QVariant(value));
    }
}

void Preferences::set(const TextPreference& p, const std::string& value) {
    if (get(p) != value || !values_.contains(p.key)) {
        store(p.key, QVariant(QString::fromStdString(value)));
    }
}

void Preferences::store(const char* key, const QVariant& value) {
    values_[key] = value;
    if (!file_ || !writable_) {
        return;
    }
    // QSettings writes the whole file anew into a temporary file beside it and renames it over
    // the old one (QSaveFile); with atomic syncs required it never writes the file in place.
    QSettings ini(fileName(*file_), QSettings::IniFormat);
    ini.setAtomicSyncRequired(true);
    ini.setValue(QString::fromLatin1(key), value);
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        tell("kestro: the preferences are kept for this run only: cannot write " + quoted(*file_));
    }
}

void Preferences::tell(const std::string& line) {
    if (told_) {
        return;
    }
    told_ = true;
    if (note_) {
        note_(line);
    }
}

}  // namespace kestro::shell

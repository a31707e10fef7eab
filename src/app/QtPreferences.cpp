#include "app/QtPreferences.h"

#include <QSettings>
#include <QStandardPaths>
#include <cstdint>
#include <limits>

namespace skarvel {

namespace {

QString key(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

// The path is worked out from the environment each time a window is made, rather than by
// QSettings' process-wide default, so that a changed XDG_CONFIG_HOME is honoured.
QtPreferences::QtPreferences()
    : fileName_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/Skarvel/Skarvel.conf")) {}

StoredValue storedValueFromText(const QString& text) {
    bool whole = false;
    const qlonglong number = text.trimmed().toLongLong(&whole);
    if (whole && number >= std::numeric_limits<std::int32_t>::min() &&
        number <= static_cast<qlonglong>(std::numeric_limits<std::uint32_t>::max())) {
        return StoredValue{true, static_cast<std::uint32_t>(number), {}};
    }
    return StoredValue{false, 0, text.toStdString()};
}

std::optional<StoredValue> QtPreferences::read(std::string_view name) const {
    const QSettings settings(fileName_, QSettings::IniFormat);
    const QString valueName = key(name);
    if (!settings.contains(valueName)) {
        return std::nullopt;
    }
    const QVariant value = settings.value(valueName);
    if (value.typeId() == QMetaType::QStringList) {
        // "a, b" in the file is read back as a list: certainly not a number.
        return StoredValue{false, 0, value.toStringList().join(QLatin1String(", ")).toStdString()};
    }
    return storedValueFromText(value.toString());
}

void QtPreferences::writeInteger(std::string_view name, std::uint32_t value) {
    QSettings settings(fileName_, QSettings::IniFormat);
    settings.setValue(key(name), static_cast<qulonglong>(value));
    settings.sync();
}

} // namespace skarvel

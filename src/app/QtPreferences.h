#pragma once

#include "ports/Preferences.h"

#include <QString>

namespace skarvel {

// The preferences in the user's settings file ($XDG_CONFIG_HOME/Skarvel/Skarvel.conf,
// organisation and application "Skarvel"). Integers are read back from the text the file
// holds; a value that is not a whole number counts as stored with another type.
class QtPreferences : public Preferences {
public:
    QtPreferences();

    std::optional<StoredValue> read(std::string_view name) const override;
    void writeInteger(std::string_view name, std::uint32_t value) override;

    const QString& fileName() const { return fileName_; }

private:
    QString fileName_;
};

// The text as a 32-bit integer value the way the registry keeps it: negative numbers are
// their two's complement. Anything else (a fraction, a word, a number beyond 32 bits) is
// stored with another type.
StoredValue storedValueFromText(const QString& text);

} // namespace skarvel

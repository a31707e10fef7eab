#include "platform/StoredSwitch.h"

#include <stdexcept>
#include <utility>

namespace skarvel {

StoredSwitch::StoredSwitch(Preferences& store, std::string name)
    : store_(store), name_(std::move(name)) {}

void StoredSwitch::loadAtStartup() {
    if (!store_.read(name_)) {
        set(1);
        return;
    }
    field_ = readStored();
}

bool StoredSwitch::get() {
    switch (field_) {
    case 0:
        return false;
    case 1:
        return true;
    case 5:
        // 5 means "ask the store every time", so a change made there while we run counts.
        field_ = readStored();
        return true;
    default:
        field_ = 1;
        return true;
    }
}

void StoredSwitch::set(std::uint8_t value) {
    if (value == 0 || value == 1) {
        field_ = value;
    }
    store_.writeInteger(name_, field_);
}

std::uint8_t StoredSwitch::readStored() const {
    const auto stored = store_.read(name_);
    if (!stored) {
        throw std::runtime_error("Failed to get data for '" + name_ + "'");
    }
    if (!stored->isInteger) {
        throw std::runtime_error("Invalid data type for '" + name_ + "'");
    }
    if (stored->value > 255) {
        throw std::range_error("Range check error");
    }
    return static_cast<std::uint8_t>(stored->value);
}

} // namespace skarvel

#include "ships/EngineValues.h"

#include "ports/Controls.h"
#include "ports/Form.h"
#include "ships/Numbers.h"

#include <cmath>
#include <string>
#include <utility>

namespace skarvel {

namespace {

bool isDigitKey(int key) {
    return key >= vk::k0 && key <= vk::k9;
}

bool isSignKey(int key) {
    return key == vk::kAdd || key == vk::kSubtract || key == vk::kOemPlus || key == vk::kOemMinus;
}

bool inWholeNumberSet(int key) {
    return key == vk::kBack || isDigitKey(key);
}

// Whatever the locale, a fraction may be typed with a comma or a point.
bool isSeparatorKey(int key) {
    return key == vk::kOemComma || key == vk::kOemPeriod || key == vk::kDecimal;
}

bool inDecimalSet(int key) {
    return inWholeNumberSet(key) || isSeparatorKey(key);
}

bool inFractionSet(int key) {
    return inDecimalSet(key) || isSignKey(key);
}

bool inSignedWholeNumberSet(int key) {
    return inWholeNumberSet(key) || isSignKey(key);
}

// The guards compare texts: "00" is not "0".
bool usable(const std::string& text) {
    return !text.empty() && text != "0";
}

std::string wholeText(std::int64_t value) {
    return std::to_string(value);
}

// Nearest whole number, half to even; nothing where no 64-bit number holds it.
std::optional<std::int64_t> rounded(double value) {
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(value) || std::fabs(value) >= limit) {
        return std::nullopt;
    }
    return roundHalfEven(value);
}

std::string notANumber(std::string_view key, std::string_view text) {
    return std::string(key) + " '" + std::string(text) + "' ist keine Zahl";
}

// The number of a key's text, or the fault that names the key.
std::optional<double> numberOf(std::string_view key, std::string_view text, std::string& fault) {
    if (text.empty()) {
        fault = std::string(key) + " fehlt";
        return std::nullopt;
    }
    const std::optional<double> value = readNumber(text);
    if (!value) {
        fault = notANumber(key, text);
    }
    return value;
}

} // namespace

DerivedSpeed deriveEngineSpeed(std::string_view force, std::string_view drag) {
    DerivedSpeed speed;
    const std::optional<double> forceValue = numberOf("max_force", force, speed.fault);
    if (!forceValue) {
        return speed;
    }
    const std::optional<double> dragValue = numberOf("linear_drag", drag, speed.fault);
    if (!dragValue) {
        return speed;
    }
    if (*dragValue == 0) {
        speed.fault = "linear_drag ist 0";
        return speed;
    }
    speed.value = rounded(*forceValue / *dragValue);
    if (!speed.value) {
        speed.fault = "max_force / linear_drag ist zu gross";
    }
    return speed;
}

DerivedSpeed deriveReverseSpeed(std::string_view speed, std::string_view fraction) {
    DerivedSpeed reverse;
    const std::optional<double> speedValue = numberOf("speed", speed, reverse.fault);
    if (!speedValue) {
        return reverse;
    }
    const std::optional<double> fractionValue =
        numberOf("reverse_fraction", fraction, reverse.fault);
    if (!fractionValue) {
        return reverse;
    }
    reverse.value = rounded(*speedValue * *fractionValue);
    if (!reverse.value) {
        reverse.fault = "speed * reverse_fraction ist zu gross";
    }
    return reverse;
}

bool handlerTakes(std::string_view handler, char character) {
    int key = 0;
    if (character >= '0' && character <= '9') {
        key = vk::k0 + (character - '0');
    } else if (character == '+') {
        key = vk::kOemPlus;
    } else if (character == '-') {
        key = vk::kOemMinus;
    } else if (character == ',') {
        key = vk::kOemComma;
    } else if (character == '.') {
        key = vk::kOemPeriod;
    } else {
        return false;
    }
    struct HandlerKeys {
        std::string_view handler;
        bool (*takes)(int);
    };
    static constexpr HandlerKeys kSets[] = {
        {"KeyDown", inWholeNumberSet},
        {"KeyDownFracted", inFractionSet},
        {"KeyDownDecimal", inDecimalSet},
        {"edEngineSpeedKeyDown", inWholeNumberSet},
        {"edEngineMaxForceKeyDown", inDecimalSet},
        {"edEngineLinearDragKeyDown", inDecimalSet},
        {"edReverseFractionKeyDown", inFractionSet},
        {"edReverseSpeedKeyDown", inSignedWholeNumberSet},
    };
    for (const HandlerKeys& set : kSets) {
        if (set.handler == handler) {
            return set.takes(key);
        }
    }
    return false;
}

EngineValues::EngineValues(Form& form, std::function<void()> markChanged)
    : form_(form), markChanged_(std::move(markChanged)) {}

void EngineValues::KeyDown(int& key) {
    if (!inWholeNumberSet(key)) {
        key = 0;
    }
    markChanged_();
}

void EngineValues::KeyDownFracted(int& key) {
    if (!inFractionSet(key)) {
        key = 0;
    }
    markChanged_();
}

void EngineValues::KeyDownDecimal(int& key) {
    if (!inDecimalSet(key)) {
        key = 0;
    }
    markChanged_();
}

// The key-down event comes before the field inserts the character, so each handler works on
// the field's text with the typed digit appended (wherever the caret stands).
std::string EngineValues::predictedText(std::string_view field, int key) const {
    return form_.text(field) + static_cast<char>(key);
}

bool EngineValues::acceptDigit(int& key, bool accepted) {
    if (!accepted) {
        key = 0;
    }
    if (!isDigitKey(key)) {
        return false;
    }
    markChanged_();
    return true;
}

void EngineValues::writeReverseSpeed(std::string_view speed, std::string_view fraction) {
    const DerivedSpeed reverse = deriveReverseSpeed(speed, fraction);
    form_.setText(controls::edReverseSpeed,
                  reverse.value ? wholeText(*reverse.value) : std::string());
}

void EngineValues::writeSpeeds(std::string_view force, std::string_view drag) {
    const DerivedSpeed speed = deriveEngineSpeed(force, drag);
    if (!speed.value) {
        form_.setText(controls::edEngineSpeed, "");
        form_.setText(controls::edReverseSpeed, "");
        return;
    }
    form_.setText(controls::edEngineSpeed, wholeText(*speed.value));
    writeReverseSpeed(form_.text(controls::edEngineSpeed), form_.text(controls::edReverseFraction));
}

void EngineValues::edEngineSpeedKeyDown(int& key) {
    if (!acceptDigit(key, inWholeNumberSet(key))) {
        return;
    }
    const std::string speed = predictedText(controls::edEngineSpeed, key);
    const std::string drag = form_.text(controls::edEngineLinearDrag);
    if (!usable(drag) || speed == "0") {
        return;
    }
    const std::optional<double> speedValue = readNumber(speed);
    const std::optional<double> dragValue = readNumber(drag);
    if (speedValue && dragValue) {
        form_.setText(controls::edEngineMaxForce,
                      wholeText(multiplyToWhole(*speedValue, *dragValue)));
    }
    writeReverseSpeed(speed, form_.text(controls::edReverseFraction));
}

void EngineValues::edEngineMaxForceKeyDown(int& key) {
    if (!acceptDigit(key, inDecimalSet(key))) {
        return;
    }
    const std::string force = predictedText(controls::edEngineMaxForce, key);
    const std::string drag = form_.text(controls::edEngineLinearDrag);
    if (!usable(drag) || force == "0") {
        return;
    }
    writeSpeeds(force, drag);
}

void EngineValues::edEngineLinearDragKeyDown(int& key) {
    if (!acceptDigit(key, inDecimalSet(key))) {
        return;
    }
    const std::string drag = predictedText(controls::edEngineLinearDrag, key);
    const std::string force = form_.text(controls::edEngineMaxForce);
    if (!usable(force) || drag == "0") {
        return;
    }
    writeSpeeds(force, drag);
}

void EngineValues::edReverseFractionKeyDown(int& key) {
    if (!acceptDigit(key, inFractionSet(key))) {
        return;
    }
    const std::string fraction = predictedText(controls::edReverseFraction, key);
    const std::string speed = form_.text(controls::edEngineSpeed);
    if (!usable(speed) || fraction == "0") {
        return;
    }
    writeReverseSpeed(speed, fraction);
}

void EngineValues::edReverseSpeedKeyDown(int& key) {
    if (!acceptDigit(key, inSignedWholeNumberSet(key))) {
        return;
    }
    const std::string reverse = predictedText(controls::edReverseSpeed, key);
    const std::string speed = form_.text(controls::edEngineSpeed);
    const std::string fraction = form_.text(controls::edReverseFraction);
    if (!usable(speed) || !usable(fraction) || reverse == "0") {
        return;
    }
    // A fraction that cannot be worked out keeps the one shown: it is saved.
    const std::optional<double> reverseValue = readNumber(reverse);
    const std::optional<double> speedValue = readNumber(speed);
    if (!reverseValue || !speedValue || *speedValue == 0) {
        return;
    }
    if (const auto tenths = rounded(*reverseValue / *speedValue / 0.1)) {
        form_.setText(controls::edReverseFraction,
                      formatFraction(static_cast<double>(*tenths) * 0.1));
    }
}

} // namespace skarvel

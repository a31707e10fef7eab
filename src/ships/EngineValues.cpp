#include "ships/EngineValues.h"

#include "ports/Form.h"
#include "ships/Numbers.h"

#include <string>
#include <utility>

namespace skarvel {

namespace {

constexpr std::string_view kSpeed = "edEngineSpeed";
constexpr std::string_view kMaxForce = "edEngineMaxForce";
constexpr std::string_view kLinearDrag = "edEngineLinearDrag";
constexpr std::string_view kReverseFraction = "edReverseFraction";
constexpr std::string_view kReverseSpeed = "edReverseSpeed";

bool isDigitKey(int key) {
    return key >= vk::k0 && key <= vk::k9;
}

bool isSignKey(int key) {
    return key == vk::kAdd || key == vk::kSubtract || key == vk::kOemPlus || key == vk::kOemMinus;
}

bool inWholeNumberSet(int key) {
    return key == vk::kBack || isDigitKey(key);
}

bool inFractionSet(int key) {
    return inWholeNumberSet(key) || isSignKey(key) || key == vk::kOemComma;
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

} // namespace

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

void EngineValues::writeReverseSpeedFromShownSpeed() {
    const std::int32_t speed = parseWholeNumber(form_.text(kSpeed));
    const double fraction = parseFraction(form_.text(kReverseFraction));
    form_.setText(kReverseSpeed, wholeText(roundHalfEven(speed * fraction)));
}

void EngineValues::edEngineSpeedKeyDown(int& key) {
    if (!acceptDigit(key, inWholeNumberSet(key))) {
        return;
    }
    const std::string speed = predictedText(kSpeed, key);
    const std::string drag = form_.text(kLinearDrag);
    if (!usable(drag) || speed == "0") {
        return;
    }
    const std::int32_t speedValue = parseWholeNumber(speed);
    const std::int32_t force = multiplyChecked(speedValue, parseWholeNumber(drag));
    form_.setText(kMaxForce, wholeText(force));
    const double fraction = parseFraction(form_.text(kReverseFraction));
    form_.setText(kReverseSpeed, wholeText(roundHalfEven(speedValue * fraction)));
}

void EngineValues::edEngineMaxForceKeyDown(int& key) {
    if (!acceptDigit(key, inWholeNumberSet(key))) {
        return;
    }
    const std::string force = predictedText(kMaxForce, key);
    const std::string drag = form_.text(kLinearDrag);
    if (!usable(drag) || force == "0") {
        return;
    }
    const double speed = divideChecked(parseWholeNumber(force), parseWholeNumber(drag));
    form_.setText(kSpeed, wholeText(roundHalfEven(speed)));
    writeReverseSpeedFromShownSpeed();
}

void EngineValues::edEngineLinearDragKeyDown(int& key) {
    if (!acceptDigit(key, inWholeNumberSet(key))) {
        return;
    }
    const std::string drag = predictedText(kLinearDrag, key);
    const std::string force = form_.text(kMaxForce);
    if (!usable(force) || drag == "0") {
        return;
    }
    const double speed = divideChecked(parseWholeNumber(force), parseWholeNumber(drag));
    form_.setText(kSpeed, wholeText(roundHalfEven(speed)));
    writeReverseSpeedFromShownSpeed();
}

void EngineValues::edReverseFractionKeyDown(int& key) {
    if (!acceptDigit(key, inFractionSet(key))) {
        return;
    }
    const std::string fraction = predictedText(kReverseFraction, key);
    const std::string speed = form_.text(kSpeed);
    if (!usable(speed) || fraction == "0") {
        return;
    }
    const double reverse = parseWholeNumber(speed) * parseFraction(fraction);
    form_.setText(kReverseSpeed, wholeText(roundHalfEven(reverse)));
}

void EngineValues::edReverseSpeedKeyDown(int& key) {
    if (!acceptDigit(key, inSignedWholeNumberSet(key))) {
        return;
    }
    const std::string reverse = predictedText(kReverseSpeed, key);
    const std::string speed = form_.text(kSpeed);
    const std::string fraction = form_.text(kReverseFraction);
    if (!usable(speed) || !usable(fraction) || reverse == "0") {
        return;
    }
    const double quotient = divideChecked(parseFraction(reverse), parseFraction(speed));
    form_.setText(kReverseFraction, formatFraction(roundToTenth(quotient)));
}

} // namespace skarvel

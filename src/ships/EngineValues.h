#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

class Form;

// Windows virtual-key codes that the key handlers know.
namespace vk {
inline constexpr int kBack = 8;
inline constexpr int k0 = 48;
inline constexpr int k9 = 57;
inline constexpr int kNumpad0 = 96;
inline constexpr int kNumpad9 = 105;
inline constexpr int kAdd = 107;
inline constexpr int kSubtract = 109;
inline constexpr int kDecimal = 110; // the keypad's decimal key
inline constexpr int kOemPlus = 187;
inline constexpr int kOemComma = 188;
inline constexpr int kOemMinus = 189;
inline constexpr int kOemPeriod = 190;
} // namespace vk

// A speed worked out from the engine's texts, or why it cannot be (for the journal: the key
// and what is wrong with it).
struct DerivedSpeed {
    std::optional<std::int64_t> value;
    std::string fault;
};

// Max force / linear drag, rounded half to even. Both texts may carry a fraction.
DerivedSpeed deriveEngineSpeed(std::string_view force, std::string_view drag);
// Speed * reverse fraction, rounded half to even.
DerivedSpeed deriveReverseSpeed(std::string_view speed, std::string_view fraction);

// Whether a field of that key handler takes the character as its keys would type it: a digit,
// or a sign or separator of its set. Keeps a pasted text to what the field accepts.
bool handlerTakes(std::string_view handler, char character);

// The key handlers of the numeric fields. Each takes the virtual-key code and clears it to
// 0 when the key must not reach the field. The engine handlers recompute the dependent
// engine fields from the field's text with the typed digit appended; a speed that cannot be
// worked out leaves its field empty. Only a max force beyond 32 bits is an error, which
// propagates to the caller (the application's error handler).
class EngineValues {
public:
    EngineValues(Form& form, std::function<void()> markChanged);

    void KeyDown(int& key);
    void KeyDownFracted(int& key);
    // A single number that may carry a fraction, written with either separator.
    void KeyDownDecimal(int& key);
    void edEngineSpeedKeyDown(int& key);
    void edEngineMaxForceKeyDown(int& key);
    void edEngineLinearDragKeyDown(int& key);
    void edReverseFractionKeyDown(int& key);
    void edReverseSpeedKeyDown(int& key);

private:
    std::string predictedText(std::string_view field, int key) const;
    // Clears a key outside the handler's set; true (and the data marked as changed) only
    // for a digit key, the one key that recomputes.
    bool acceptDigit(int& key, bool accepted);
    // Writes the speed derived from force and drag and the reverse speed that follows it.
    void writeSpeeds(std::string_view force, std::string_view drag);
    void writeReverseSpeed(std::string_view speed, std::string_view fraction);

    Form& form_;
    std::function<void()> markChanged_;
};

} // namespace skarvel

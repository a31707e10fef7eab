#include "update/TransferMeter.h"

#include <cmath>
#include <cstdio>

namespace skarvel {

double averageSpeed(std::int64_t count, std::int64_t elapsedMs, double previous) {
    if (elapsedMs <= 0) {
        return previous;
    }
    return static_cast<double>(count) / 1024.0 / (static_cast<double>(elapsedMs) / 1000.0);
}

std::string remainingTimeText(std::int64_t bytesLeft, double kilobytesPerSecond) {
    if (!(kilobytesPerSecond > 0)) {
        return {};
    }
    const double seconds = static_cast<double>(bytesLeft) / 1024.0 / kilobytesPerSecond;
    // A transfer that brings more than announced has nothing left; a very long one shows
    // its true hours instead of wrapping round.
    const long long remaining = seconds > 0 ? static_cast<long long>(std::floor(seconds)) : 0;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "Time remaining %2lld:%2lld:%2lld", remaining / 3600,
                  remaining / 60 % 60, remaining % 60);
    return buffer;
}

std::string speedText(double kilobytesPerSecond, const std::string& timeText,
                      char decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", kilobytesPerSecond);
    std::string text = buffer;
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text[point] = decimalSeparator;
    }
    return text + " KB/s; " + timeText;
}

std::string speedPanelText(TransferDirection direction, const std::string& speed) {
    return (direction == TransferDirection::Download ? "Download speed " : "Uploade speed ") +
           speed;
}

void TransferMeter::begin(std::int64_t announcedTotal, std::int64_t expectedSize) {
    running_ = true;
    startMs_ = clock_.tickMs();
    maximum_ = announcedTotal > 0 ? announcedTotal : expectedSize;
    average_ = 0;
}

std::string TransferMeter::progress(std::int64_t count, TransferDirection direction) {
    average_ = averageSpeed(count, clock_.tickMs() - startMs_, average_);
    const std::string timeText = remainingTimeText(maximum_ - count, average_);
    return speedPanelText(direction, speedText(average_, timeText, decimalSeparator_));
}

void TransferMeter::end() {
    running_ = false;
    average_ = 0;
}

} // namespace skarvel

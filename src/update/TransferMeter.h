#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <string>

namespace skarvel {

enum class TransferDirection { Download, Upload };

// Average speed in kilobytes per second after count bytes in elapsedMs; previous when no time
// has passed yet.
double averageSpeed(std::int64_t count, std::int64_t elapsedMs, double previous);

// "Time remaining  h: m: s" (each number padded with blanks to two places) for the bytes still
// to come at the given speed; empty while the speed is not known. More bytes than announced
// count as nothing left.
std::string remainingTimeText(std::int64_t bytesLeft, double kilobytesPerSecond);

// "120.47 KB/s; Time remaining  0: 0: 8", the speed with two decimals and the given separator.
std::string speedText(double kilobytesPerSecond, const std::string& timeText,
                      char decimalSeparator);

// What the second status panel shows: "Download speed " or "Uploade speed " before the speed.
std::string speedPanelText(TransferDirection direction, const std::string& speed);

// The progress of one transfer at a time: its maximum, its start and the average speed that
// all transfers share.
class TransferMeter {
public:
    explicit TransferMeter(const Clock& clock, char decimalSeparator = '.')
        : clock_(clock), decimalSeparator_(decimalSeparator) {}

    // announcedTotal is what the FTP client announces (0 when it does not know);
    // expectedSize stands in for it then.
    void begin(std::int64_t announcedTotal, std::int64_t expectedSize);
    // The status panel text after count bytes of this transfer.
    std::string progress(std::int64_t count, TransferDirection direction);
    void end();

    bool running() const { return running_; }
    std::int64_t maximum() const { return maximum_; }
    double average() const { return average_; }

private:
    const Clock& clock_;
    char decimalSeparator_;
    bool running_ = false;
    std::int64_t startMs_ = 0;
    std::int64_t maximum_ = 0;
    double average_ = 0;
};

} // namespace skarvel

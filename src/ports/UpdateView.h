#pragma once

#include <cstdint>
#include <string>

namespace skarvel {

// The controls of the update dialog that the search run drives. The Qt dialog implements it;
// tests record what it was told.
class UpdateView {
public:
    virtual ~UpdateView() = default;

    // btSearch
    virtual void setSearchEnabled(bool enabled) = 0;
    // ProgressBar1; position always lies within minimum..maximum.
    virtual void showProgress(std::int64_t minimum, std::int64_t maximum,
                              std::int64_t position) = 0;
    // The 250 ms timer that steps the bar while the connection is made.
    virtual void setTimerEnabled(bool enabled) = 0;
    // The second panel of StatusBar1 (speed and time remaining).
    virtual void showStatus(const std::string& text) = 0;
    // Closes the dialog; its caller reads the outcome then.
    virtual void closeDialog() = 0;
    // Lets the window repaint and react while a network call waits.
    virtual void service() = 0;
};

} // namespace skarvel

#pragma once

#include "Version.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace Ui {
class TformInfo;
}

namespace skarvel {

// The About window: a picture, the credit line and the project's web and mail addresses.
// Each address opens through the desktop.
class TformInfo : public QDialog {
    Q_OBJECT

public:
    // Opens a web or mail address; returns whether it could be handed to the desktop.
    using AddressOpener = std::function<bool(const std::string&)>;

    static constexpr const char* webAddress = SKARVEL_HOME_PAGE;
    static constexpr const char* galleryAddress = SKARVEL_HOME_PAGE "gallery";
    static constexpr const char* mailAddress = SKARVEL_CONTACT_ADDRESS;

    // Without an opener, addresses go to skarvel::openAddress. Without a mail address (a
    // build that names none) the mail line is not shown.
    explicit TformInfo(QWidget* parent = nullptr, AddressOpener opener = {},
                       std::string_view contact = mailAddress);
    ~TformInfo() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void openLink(const QString& address);

    std::unique_ptr<Ui::TformInfo> ui_;
    AddressOpener opener_;
};

} // namespace skarvel

#pragma once

#include "journal/Journal.h"
#include "ports/Dialogs.h"
#include "ports/UpdateView.h"
#include "update/UpdateCheck.h"
#include "update/UpdateOutcome.h"

#include <QDialog>
#include <QTimer>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class QLabel;

namespace Ui {
class TMainForm;
}

namespace skarvel {

// The update dialog "Searching for Updates": the search button runs one search run of
// UpdateCheck; the caller reads outcome() once the dialog has closed. updateSite is
// "ftp://host:port/".
class TMainForm : public QDialog, private UpdateView {
    Q_OBJECT

public:
    TMainForm(QWidget* owner, std::string runningVersion, TJournal& journal, std::string updateSite,
              Dialogs& dialogs);
    ~TMainForm() override;

    UpdateOutcome outcome() const { return check_->outcome(); }

    // Receives the error that ended a search run. By default it journals
    // "EXCEPTION OCCURED  - %s" (Error), as the application's handler does.
    std::function<void(const std::exception&)> onError;

    // The text of a panel of StatusBar1 (0: the progress bar's panel, 1: speed and time).
    QString statusPanelText(int index) const;

public slots:
    void btSearchClick();
    void btAbortClick();
    void TimerTimer();
    // Escape and the window's close button count as Abort.
    void reject() override;

private:
    void setSearchEnabled(bool enabled) override;
    void showProgress(std::int64_t minimum, std::int64_t maximum, std::int64_t position) override;
    void setTimerEnabled(bool enabled) override;
    void showStatus(const std::string& text) override;
    void closeDialog() override;
    void service() override;

    std::unique_ptr<Ui::TMainForm> ui_;
    QLabel* speedPanel_ = nullptr;
    QTimer Timer;
    std::unique_ptr<UpdateCheck> check_;
};

} // namespace skarvel

#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QListWidget;

namespace skarvel {

// The ship list as the user works it. Every change of its selected entry by the user (a
// click, a drag with the button held, arrow keys, Home/End, Page Up/Down, type-ahead) runs
// the load once; the program's own selections are silent, since QtForm sets them with the
// list's signals blocked. The filter field above the list hides the entries whose display
// name and nickname both lack its text; hidden rows keep their positions, so row k is still
// section "Ship" + k.
class ShipList : public QObject {
public:
    // nicknames: the ship nicknames in list order (read when a filter first needs them after
    // the list was refilled).
    ShipList(QListWidget& list, QLineEdit& filter, std::function<void()> load,
             std::function<std::vector<std::string>()> nicknames, QObject* parent = nullptr);

    void applyFilter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void currentRowChanged();
    void loadHeldRow();
    void listRefilled();

    QListWidget& list_;
    // The window may destroy the field before the list, whose model still tells of its end.
    QPointer<QLineEdit> filter_;
    // For telling its events apart only: while it is destroyed it is no QLineEdit any more.
    const QObject* filterObject_ = nullptr;
    std::function<void()> load_;
    std::function<std::vector<std::string>()> nicknames_;
    std::vector<std::string> knownNicknames_;
    bool nicknamesKnown_ = false;
    bool mouseHeld_ = false;
    bool rowChangedWhileHeld_ = false;
};

} // namespace skarvel

#include "app/ShipList.h"

#include "ships/ShipFilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace skarvel {

ShipList::ShipList(QListWidget& list, QLineEdit& filter, std::function<void()> load,
                   std::function<std::vector<std::string>()> nicknames, QObject* parent)
    : QObject(parent), list_(list), filter_(&filter), load_(std::move(load)),
      nicknames_(std::move(nicknames)) {
    filterObject_ = &filter;
    list_.viewport()->installEventFilter(this);
    filter.installEventFilter(this);
    connect(&list_, &QListWidget::currentRowChanged, this, [this] { currentRowChanged(); });
    // A click on the entry already selected loads it again; a press that moved the selection
    // loads on its release, through this click or through loadHeldRow.
    connect(&list_, &QListWidget::itemClicked, this, [this] {
        rowChangedWhileHeld_ = false;
        load_();
    });
    connect(&filter, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    // Signals of the model are not blocked with the list's: they tell of every refill.
    connect(list_.model(), &QAbstractItemModel::modelReset, this, [this] { listRefilled(); });
    connect(list_.model(), &QAbstractItemModel::rowsInserted, this, [this] { listRefilled(); });
}

void ShipList::currentRowChanged() {
    if (mouseHeld_) {
        // A drag passes over many ships; only the one under the release is loaded.
        rowChangedWhileHeld_ = true;
        return;
    }
    rowChangedWhileHeld_ = false;
    load_();
}

void ShipList::loadHeldRow() {
    if (rowChangedWhileHeld_) {
        rowChangedWhileHeld_ = false;
        load_();
    }
}

void ShipList::listRefilled() {
    nicknamesKnown_ = false;
    if (filter_ && !filter_->text().isEmpty()) {
        // After the command that refills the list, when the set it read is open.
        QTimer::singleShot(0, this, [this] { applyFilter(); });
    }
}

void ShipList::applyFilter() {
    if (!filter_) {
        return;
    }
    // The list's names are UTF-8 (QtForm), and so is the filter text.
    const QByteArray text = filter_->text().toUtf8();
    if (!text.isEmpty() && !nicknamesKnown_) {
        knownNicknames_ = nicknames_();
        nicknamesKnown_ = knownNicknames_.size() == static_cast<std::size_t>(list_.count());
    }
    for (int row = 0; row < list_.count(); ++row) {
        QListWidgetItem& item = *list_.item(row);
        const std::string name = item.text().toUtf8().toStdString();
        const std::size_t index = static_cast<std::size_t>(row);
        const std::string nickname =
            index < knownNicknames_.size() && nicknamesKnown_ ? knownNicknames_[index] : "";
        const bool shown =
            text.isEmpty() ||
            shipMatchesFilter(name, nickname,
                              std::string_view(text.data(), static_cast<std::size_t>(text.size())));
        item.setHidden(!shown);
        // Type-ahead passes over disabled entries only, not over hidden ones.
        item.setFlags(shown ? item.flags() | Qt::ItemIsEnabled : item.flags() & ~Qt::ItemIsEnabled);
    }
}

bool ShipList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filterObject_) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !filter_->text().isEmpty()) {
            filter_->clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mouseHeld_ = true;
        break;
    case QEvent::MouseButtonRelease:
        mouseHeld_ = false;
        // After the list has handled the release and sent its click, if any.
        QTimer::singleShot(0, this, [this] { loadHeldRow(); });
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace skarvel

#include "app/QtForm.h"

#include "ports/Controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextEdit>
#include <stdexcept>

namespace skarvel {

namespace {

QLatin1String nameOf(std::string_view name) {
    return QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
}

// The folder fields hold paths, which are UTF-8 on this platform; the ship list and the
// shown ship's name hold the game's names in UTF-8, which may hold any character of its
// DLLs. Every other control holds bytes of the game's files, one byte per character.
bool holdsUtf8(const QWidget& widget) {
    const QString name = widget.objectName();
    return name == nameOf(controls::edPfad) || name == nameOf(controls::edFliniDir) ||
           name == nameOf(controls::lbShips) || name == nameOf(controls::edShipRealName);
}

QString decode(const QWidget& widget, std::string_view bytes) {
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return holdsUtf8(widget) ? QString::fromUtf8(data) : QString::fromLatin1(data);
}

std::string encode(const QWidget& widget, const QString& text) {
    return (holdsUtf8(widget) ? text.toUtf8() : text.toLatin1()).toStdString();
}

[[noreturn]] void unsupported(const QWidget& widget, const char* what) {
    throw std::runtime_error("Control " + widget.objectName().toStdString() + " has no " + what);
}

} // namespace

QtForm::QtForm(QWidget& window, std::function<void(const QString&)> showPage)
    : window_(window), showPage_(std::move(showPage)) {}

QWidget& QtForm::control(std::string_view name) const {
    const QString key = nameOf(name);
    QPointer<QWidget>& cached = found_[key];
    if (!cached) {
        cached = window_.objectName() == key ? &window_ : window_.findChild<QWidget*>(key);
    }
    if (!cached) {
        throw std::runtime_error("Control " + std::string(name) + " not found");
    }
    return *cached;
}

std::string QtForm::text(std::string_view name) const {
    const QWidget& widget = control(name);
    QString text;
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        text = edit->text();
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        text = combo->currentText();
    } else if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    } else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&widget)) {
        text = plain->toPlainText();
    } else if (const auto* rich = qobject_cast<const QTextEdit*>(&widget)) {
        text = rich->toPlainText();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        text = group->title();
    } else if (const auto* list = qobject_cast<const QListWidget*>(&widget)) {
        text = list->currentItem() ? list->currentItem()->text() : QString();
    } else {
        unsupported(widget, "text");
    }
    return encode(widget, text);
}

void QtForm::setText(std::string_view name, std::string_view bytes) {
    QWidget& widget = control(name);
    const QString text = decode(widget, bytes);
    const QSignalBlocker quiet(widget);
    if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        edit->setText(text);
        // Show a long value from its start, as typed values are read; never move a typing cursor.
        if (!edit->hasFocus()) {
            edit->setCursorPosition(0);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
        } else {
            combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
        }
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&widget)) {
        plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(&widget)) {
        rich->setPlainText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        group->setTitle(text);
    } else {
        unsupported(widget, "text");
    }
}

std::vector<std::string> QtForm::items(std::string_view name) const {
    const QWidget& widget = control(name);
    std::vector<std::string> result;
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        for (int i = 0; i < combo->count(); ++i) {
            result.push_back(encode(widget, combo->itemText(i)));
        }
    } else if (const auto* list = qobject_cast<const QListWidget*>(&widget)) {
        for (int i = 0; i < list->count(); ++i) {
            result.push_back(encode(widget, list->item(i)->text()));
        }
    } else {
        unsupported(widget, "items");
    }
    return result;
}

void QtForm::setItems(std::string_view name, const std::vector<std::string>& items) {
    QWidget& widget = control(name);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) {
        texts << decode(widget, item);
    }
    const QSignalBlocker quiet(widget);
    if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        combo->clear();
        combo->addItems(texts);
        combo->setCurrentIndex(-1);
    } else if (auto* list = qobject_cast<QListWidget*>(&widget)) {
        list->clear();
        list->addItems(texts);
        list->setCurrentRow(-1);
    } else {
        unsupported(widget, "items");
    }
}

int QtForm::selectedIndex(std::string_view name) const {
    const QWidget& widget = control(name);
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        return combo->currentIndex();
    }
    if (const auto* list = qobject_cast<const QListWidget*>(&widget)) {
        return list->currentRow();
    }
    unsupported(widget, "selection");
}

void QtForm::setSelectedIndex(std::string_view name, int index) {
    QWidget& widget = control(name);
    const QSignalBlocker quiet(widget);
    if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(&widget)) {
        const bool valid = index >= 0 && index < list->count();
        list->setCurrentRow(valid ? index : -1);
        if (valid) {
            list->scrollToItem(list->item(index));
        }
    } else {
        unsupported(widget, "selection");
    }
}

bool QtForm::isEnabled(std::string_view name) const {
    return control(name).isEnabled();
}

void QtForm::setEnabled(std::string_view name, bool enabled) {
    control(name).setEnabled(enabled);
}

void QtForm::setToolTip(std::string_view name, std::string_view text) {
    control(name).setToolTip(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool QtForm::isVisible(std::string_view name) const {
    return !control(name).isHidden();
}

void QtForm::setVisible(std::string_view name, bool visible) {
    control(name).setVisible(visible);
}

bool QtForm::isChecked(std::string_view name) const {
    const QWidget& widget = control(name);
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->isChecked();
    }
    unsupported(widget, "check mark");
}

void QtForm::setChecked(std::string_view name, bool checked) {
    QWidget& widget = control(name);
    auto* button = qobject_cast<QAbstractButton*>(&widget);
    if (!button) {
        unsupported(widget, "check mark");
    }
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

std::vector<KeyValueRow> QtForm::rows(std::string_view name) const {
    const QWidget& widget = control(name);
    const auto* table = qobject_cast<const QTableWidget*>(&widget);
    if (!table || table->columnCount() < 2) {
        unsupported(widget, "rows");
    }
    std::vector<KeyValueRow> result;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* key = table->item(row, 0);
        const QTableWidgetItem* value = table->item(row, 1);
        result.push_back({encode(widget, key ? key->text() : QString()),
                          encode(widget, value ? value->text() : QString()),
                          value && value->data(Qt::UserRole).toBool(),
                          encode(widget, value ? value->toolTip() : QString())});
    }
    return result;
}

void QtForm::setRows(std::string_view name, const std::vector<KeyValueRow>& rows) {
    QWidget& widget = control(name);
    auto* table = qobject_cast<QTableWidget*>(&widget);
    if (!table || table->columnCount() < 2) {
        unsupported(widget, "rows");
    }
    const QSignalBlocker quiet(table);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const KeyValueRow& given = rows[static_cast<std::size_t>(row)];
        // Items are kept where they exist, so that selection and scrolling stay.
        QTableWidgetItem* key = table->item(row, 0);
        if (!key) {
            key = new QTableWidgetItem;
            key->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table->setItem(row, 0, key);
        }
        QTableWidgetItem* value = table->item(row, 1);
        if (!value) {
            value = new QTableWidgetItem;
            table->setItem(row, 1, value);
        }
        const bool editable = given.readOnlyReason.empty();
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable |
                        (editable ? Qt::ItemIsEditable : Qt::NoItemFlags));
        key->setText(decode(widget, given.key));
        value->setText(decode(widget, given.value));
        // The reason is the row's tooltip, and rows() reads it back from the value cell.
        const QString reason = decode(widget, given.readOnlyReason);
        key->setToolTip(reason);
        value->setToolTip(reason);
        value->setData(Qt::UserRole, given.missing);
        key->setForeground(given.missing ? QBrush(Qt::gray) : QBrush());
        value->setBackground(given.missing ? QBrush(Qt::lightGray) : QBrush());
    }
}

void QtForm::setFocus(std::string_view name) {
    control(name).setFocus(Qt::OtherFocusReason);
}

void QtForm::repaint(std::string_view name) {
    control(name).repaint();
}

void QtForm::showPage(std::string_view caption) {
    if (showPage_) {
        showPage_(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
}

} // namespace skarvel

#include "app/EditHistory.h"

#include "app/ErrorHandler.h"
#include "ports/Controls.h"
#include "ships/Editor.h"
#include "ships/FieldLabels.h"
#include "ships/ShipFields.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QUndoCommand>

namespace skarvel {

namespace {

// One edit: the states before and after. Typing on in the same field joins the step.
class EditStep : public QUndoCommand {
public:
    EditStep(EditHistory& history, EditState before, EditState after, QString field,
             const QString& text)
        : history_(history), before_(std::move(before)), after_(std::move(after)),
          field_(std::move(field)) {
        setText(text.isEmpty() ? QStringLiteral("edit") : text);
    }

    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const EditStep*>(other);
        if (field_.isEmpty() || next->field_ != field_) {
            return false;
        }
        after_ = next->after_;
        return true;
    }
    void undo() override { history_.show(before_); }
    void redo() override {
        if (pushed_) {
            history_.show(after_);
        }
        pushed_ = true; // the first redo is the edit itself, already made
    }

private:
    EditHistory& history_;
    EditState before_;
    EditState after_;
    QString field_;
    bool pushed_ = false;
};

bool isShipField(const std::string& control) {
    for (const ShipField& field : shipFields()) {
        if (field.field == control) {
            return true;
        }
    }
    return control == controls::edWeaponHPLevel.name || control == controls::edTurretHpLevel.name ||
           control == controls::edShieldHPLevel.name;
}

// A page's own step (Fleet, prices); the first redo is the change itself, already made.
class PageStep : public QUndoCommand {
public:
    explicit PageStep(std::shared_ptr<DocumentStep> step) : step_(std::move(step)) {
        setText(QString::fromStdString(step_->text()));
    }
    const std::shared_ptr<DocumentStep>& step() const { return step_; }
    void undo() override { step_->undo(); }
    void redo() override {
        if (pushed_) {
            step_->redo();
        }
        pushed_ = true;
    }

private:
    std::shared_ptr<DocumentStep> step_;
    bool pushed_ = false;
};

// The edited control that has the focus: its typing joins one step.
QString focusedField() {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (isEditedControl(widget->objectName().toStdString())) {
            return widget->objectName();
        }
    }
    return {};
}

const char* const kChangedFrame = "border: 2px solid #d9822b; border-radius: 2px;";

} // namespace

EditHistory::EditHistory(Editor& editor, TJournal& journal, QWidget& window, QTabWidget& pages,
                         std::function<void(int, bool)> markPage, QObject* parent)
    : QObject(parent), editor_(editor), journal_(journal), window_(window), pages_(pages),
      markPage_(std::move(markPage)) {
    stack_.setUndoLimit(500);
    editor_.setHistoryEnded([this](Editor::HistoryEnd end) {
        if (end == Editor::HistoryEnd::Fields) {
            keepPageSteps();
        }
        ended_ = true;
        scheduleCheck();
    });
    watch(window);
    // Every push, undo, redo and end may change what is marked.
    connect(&stack_, &QUndoStack::indexChanged, this, [this] { scheduleCheck(); });
    scheduleCheck();
}

void EditHistory::markPageWhen(QWidget& page, std::function<bool()> changed) {
    pageMarks_.emplace_back(&page, std::move(changed));
    scheduleCheck();
}

void EditHistory::watch(QWidget& window) {
    for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
        if (isEditedControl(field->objectName().toStdString())) {
            connect(field, &QLineEdit::textChanged, this, [this] { scheduleCheck(); });
            field->installEventFilter(this);
        }
    }
    for (QComboBox* list : window.findChildren<QComboBox*>()) {
        if (isEditedControl(list->objectName().toStdString())) {
            connect(list, &QComboBox::currentIndexChanged, this, [this] { scheduleCheck(); });
        }
    }
    for (QTableWidget* table : window.findChildren<QTableWidget*>()) {
        if (isEditedControl(table->objectName().toStdString())) {
            connect(table, &QTableWidget::itemChanged, this, [this] { scheduleCheck(); });
        }
    }
}

bool EditHistory::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            return true; // not taken by the field: the window's shortcut runs
        }
    }
    return QObject::eventFilter(watched, event);
}

void EditHistory::keepPageSteps() {
    // The fields' steps hold the ship shown before; the pages' steps stay valid.
    for (int i = 0; i < stack_.index(); ++i) {
        if (const auto* page = dynamic_cast<const PageStep*>(stack_.command(i))) {
            kept_.push_back(page->step());
        }
    }
}

void EditHistory::scheduleCheck() {
    if (scheduled_ || showing_) {
        return;
    }
    scheduled_ = true;
    // After the handler of the edit has run: the derived values are part of the step.
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        runHandler(journal_, [this] { check(); });
    });
}

void EditHistory::check() {
    const EditState now = editor_.editState();
    if (ended_) {
        ended_ = false;
        restart();
        loaded_ = now;
        last_ = now;
    } else if (differsOnlyInView(now, last_)) {
        last_ = now; // another hardpoint shown: the next step starts from here
    } else if (!(now == last_)) {
        const QString field = focusedField();
        auto* step = new EditStep(*this, last_, now, field, stepText(field));
        last_ = now;
        stack_.push(step);
    }
    showMarks(now);
}

void EditHistory::push(std::unique_ptr<DocumentStep> step) {
    if (ended_) {
        ended_ = false;
        restart();
        loaded_ = editor_.editState();
        last_ = loaded_;
    }
    stack_.push(new PageStep(std::move(step)));
}

void EditHistory::restart() {
    stack_.clear();
    for (std::shared_ptr<DocumentStep>& step : kept_) {
        stack_.push(new PageStep(std::move(step)));
    }
    kept_.clear();
}

QString EditHistory::stepText(const QString& field) const {
    if (field.isEmpty()) {
        return {};
    }
    const std::string label = fieldLabel(field.toStdString());
    const std::string owner = editor_.shipLoaded() && isShipField(field.toStdString())
                                  ? editor_.shownShipName()
                                  : std::string();
    return QString::fromStdString((label.empty() ? field.toStdString() : label) +
                                  (owner.empty() ? "" : " of " + owner));
}

void EditHistory::show(const EditState& state) {
    showing_ = true;
    runHandler(journal_, [&] { editor_.restoreEditState(state); });
    showing_ = false;
    last_ = state;
    showMarks(state);
}

void EditHistory::showMarks(const EditState& now) {
    const std::vector<std::string> changed = changedControls(loaded_, now);
    std::vector<bool> pageChanged(static_cast<std::size_t>(pages_.count()), false);
    for (const auto& [page, isChanged] : pageMarks_) {
        const int at = pages_.indexOf(page);
        if (at >= 0 && isChanged()) {
            pageChanged[static_cast<std::size_t>(at)] = true;
        }
    }
    if (changed == marked_ && pageChanged == markedPages_) {
        return;
    }
    const auto isIn = [](const std::vector<std::string>& names, const QString& name) {
        return std::find(names.begin(), names.end(), name.toStdString()) != names.end();
    };
    const std::vector<std::string>& marked = marked_;
    for (const std::vector<std::string>* names : {&marked, &changed}) {
        for (const std::string& name : *names) {
            auto* widget = window_.findChild<QWidget*>(QString::fromStdString(name));
            if (widget == nullptr) {
                continue;
            }
            const bool isChanged = isIn(changed, widget->objectName());
            widget->setStyleSheet(isChanged ? QString::fromLatin1(kChangedFrame) : QString());
            for (int page = 0; isChanged && page < pages_.count(); ++page) {
                if (pages_.widget(page)->isAncestorOf(widget)) {
                    pageChanged[static_cast<std::size_t>(page)] = true;
                }
            }
        }
    }
    for (int page = 0; page < pages_.count(); ++page) {
        markPage_(page, pageChanged[static_cast<std::size_t>(page)]);
    }
    marked_ = changed;
    markedPages_ = std::move(pageChanged);
}

} // namespace skarvel

#pragma once

#include "document/DocumentStep.h"
#include "ships/EditState.h"

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <memory>

class QTabWidget;
class QWidget;

namespace skarvel {

class Editor;
class TJournal;

// The window-wide undo history of the user's edits. A step is the state of every edited
// control before and after an edit (typing into one field makes one step), so an undo puts
// back the field, what was derived from it and the "changed" state at once. The history
// ends at every load, save, reload and close (the editor says when); when another ship is
// shown only the fields' steps end. Fields that differ
// from their loaded value carry a coloured frame, and their page's tree entry a dot.
class EditHistory : public QObject {
public:
    EditHistory(Editor& editor, TJournal& journal, QWidget& window, QTabWidget& pages,
                std::function<void(int page, bool changed)> markPage, QObject* parent);

    QUndoStack& stack() { return stack_; }
    // Sets the controls to a state of the history (undo and redo).
    void show(const EditState& state);
    // A step of a page whose changes are its own list, already made; it joins the one history.
    void push(std::unique_ptr<DocumentStep> step);
    // The page's tree entry carries the dot while changed() holds (a page of its own list).
    void markPageWhen(QWidget& page, std::function<bool()> changed);

protected:
    // Ctrl+Z and its kin in a field undo the window's history, not the field's own.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget& window);
    void scheduleCheck();
    void check();
    // Another ship is shown: the pages' steps made so far outlive the fields' steps.
    void keepPageSteps();
    // Starts the history again, with the kept steps.
    void restart();
    void showMarks(const EditState& now);
    // "Hit points of Defender": the field's caption and, for a ship's field, the ship.
    QString stepText(const QString& field) const;

    Editor& editor_;
    TJournal& journal_;
    QWidget& window_;
    QTabWidget& pages_;
    std::function<void(int, bool)> markPage_;
    QUndoStack stack_;
    EditState loaded_; // at the end of the history
    EditState last_;   // after the last step
    bool ended_ = true;
    bool scheduled_ = false;
    bool showing_ = false;
    std::vector<std::string> marked_;
    std::vector<std::shared_ptr<DocumentStep>> kept_;
    std::vector<std::pair<QWidget*, std::function<bool()>>> pageMarks_;
    std::vector<bool> markedPages_;
};

} // namespace skarvel

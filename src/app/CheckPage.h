#pragma once

#include "app/ProblemModel.h"
#include "check/CheckCommands.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class Dialogs;
class Editor;
class Form;
class TJournal;

// The CHECK page: the checker's problems in a table with a filter by severity and rule, the
// menu entry's count of errors, and the check after each open and save and whenever a file it
// read changed.
class CheckPage : public QObject {
public:
    CheckPage(Ui::TformSkarvel& ui, Editor& editor, Form& form, Dialogs& dialogs, TJournal& journal,
              QObject* parent = nullptr);

    const check::Problems& problems() const { return commands_.problems(); }
    // "Where used…" of a problem's nickname is shown by the EQUIPMENT page.
    void setWhereUsed(std::function<void(const QString&)> whereUsed) {
        whereUsed_ = std::move(whereUsed);
    }

protected:
    // Ctrl+C on the table copies file:line, not the view's cell text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class Handler> void onClick(QObject* button, Handler handler);
    void show(const check::Problems& problems);
    void applyFilter();
    // The problem of a row of the table, as an index into problems(); -1 for none.
    int problemAt(const QModelIndex& viewIndex) const;
    void copyFileLine();
    // $VISUAL, else $EDITOR at the problem's line; else the desktop's default for the file.
    void openInTextEditor();

    Ui::TformSkarvel& ui_;
    // The table the copy key is watched on; compared without touching ui_, which the window
    // destroys before its widgets send their last events.
    QObject* problemsTable_ = nullptr;
    TJournal& journal_;
    ProblemModel model_;
    ProblemFilter filter_;
    check::CheckCommands commands_;
    QTimer look_;
    std::function<void(const QString&)> whereUsed_;
};

} // namespace skarvel

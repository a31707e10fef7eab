#pragma once

#include <QObject>
#include <QString>

class QTableWidget;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class Editor;
class TJournal;

// The Constants page: its seven tables are edited in place (double click or typing, Enter
// keeps, Escape drops); each value is checked by the Editor before the cell takes it, and
// a refusal shows in the hint area. The four constants of the General page show there too.
// The cells of a section the file lacks cannot be edited; their tooltip and the table's
// hint say why.
class ConstantsPage : public QObject {
public:
    ConstantsPage(Ui::TformSkarvel& ui, Editor& editor, TJournal& journal,
                  QObject* parent = nullptr);

    // The value typed into a cell, as the cell's editor commits it; false when refused.
    bool commit(QTableWidget& table, int row, const QString& typed);

private:
    // A table whose values cannot be edited says why first in its hint.
    void showReadOnlyReason(QTableWidget& table, const QString& sectionHint);
    void fitHeight(QTableWidget& table);

    Ui::TformSkarvel& ui_;
    Editor& editor_;
    TJournal& journal_;
};

} // namespace skarvel

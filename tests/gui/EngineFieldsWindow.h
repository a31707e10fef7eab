#pragma once

// The main window unlocked on its Ship page, for the tests that type into its fields.

#include "app/MainWindow.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <initializer_list>
#include <memory>
#include <utility>

namespace skarvel::test {

class EngineFieldsWindow : public ::testing::Test {
protected:
    EngineFieldsWindow() {
        env.installGameAndSilenceStart();
        journal = std::make_unique<TJournal>(env.program.string(), "DebugOut");
        window = std::make_unique<TformSkarvel>(*journal, env.program.string());
        window->show();
        control<QPushButton>(*window, "btRead").click();
        window->ShowPage(QStringLiteral("Ship"));
    }

    QLineEdit& field(const char* name) { return control<QLineEdit>(*window, name); }
    std::string text(const char* name) { return field(name).text().toStdString(); }
    void setTexts(std::initializer_list<std::pair<const char*, const char*>> texts) {
        for (const auto& [name, value] : texts) {
            field(name).setText(QString::fromUtf8(value));
        }
    }
    // The data is marked as changed when the save button is on.
    bool marked() { return control<QToolButton>(*window, "btSave").isEnabled(); }

    std::vector<std::string> linesSince(std::size_t from) const { return env.journalSince(from); }

    ShellEnvironment env;
    ModalHand hand;
    std::unique_ptr<TJournal> journal;
    std::unique_ptr<TformSkarvel> window;
};

} // namespace skarvel::test

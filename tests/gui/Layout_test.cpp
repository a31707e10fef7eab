#include "app/Contact.h"
#include "app/FleetChangeDialog.h"
#include "app/HelpWindow.h"
#include "app/InfoWindow.h"
#include "app/JpegImage.h"
#include "app/MainWindowLayout.h"
#include "app/ReviewDialog.h"
#include "app/UpDown.h"
#include "app/UpdateDialog.h"
#include "app/WindowActions.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "ports/Controls.h"
#include "support/MemoryForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace skarvel {
namespace {

// The words of a blank-separated list.
std::vector<std::string> words(const std::string& list) {
    std::vector<std::string> result;
    std::istringstream in(list);
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}
std::set<std::string> wordSet(const std::string& list) {
    const auto all = words(list);
    return {all.begin(), all.end()};
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui.setupUi(&window);
        setupMainWindowLayout(ui, window);
    }

    template <typename T = QWidget> T* control(const std::string& name) {
        T* found = window.findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(found, nullptr) << name << " is missing or has the wrong type";
        return found;
    }

    // Names of all controls whose dynamic property equals value.
    std::set<std::string> namesWith(const char* property, const QVariant& value) {
        std::set<std::string> names;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (widget->property(property) == value) {
                names.insert(widget->objectName().toStdString());
            }
        }
        return names;
    }

    QMainWindow window;
    Ui::TformSkarvel ui;
};

bool isOfKind(QWidget& widget, ControlKind kind) {
    switch (kind) {
    case ControlKind::LineEdit:
        return qobject_cast<QLineEdit*>(&widget) != nullptr;
    case ControlKind::ComboBox:
        return qobject_cast<QComboBox*>(&widget) != nullptr;
    case ControlKind::ListBox:
        return qobject_cast<QListWidget*>(&widget) != nullptr;
    case ControlKind::Tree:
        return qobject_cast<QTreeWidget*>(&widget) != nullptr;
    case ControlKind::PushButton:
        return qobject_cast<QPushButton*>(&widget) != nullptr;
    case ControlKind::ToolButton:
        return qobject_cast<QToolButton*>(&widget) != nullptr;
    case ControlKind::CheckBox:
        return qobject_cast<QCheckBox*>(&widget) != nullptr;
    case ControlKind::Label:
        return qobject_cast<QLabel*>(&widget) != nullptr;
    case ControlKind::Panel:
        return widget.metaObject() == &QWidget::staticMetaObject;
    case ControlKind::Table:
        return qobject_cast<QTableWidget*>(&widget) != nullptr;
    case ControlKind::ItemView:
        return qobject_cast<QAbstractItemView*>(&widget) != nullptr;
    case ControlKind::TextArea:
        return qobject_cast<QPlainTextEdit*>(&widget) != nullptr ||
               qobject_cast<QTextEdit*>(&widget) != nullptr;
    case ControlKind::Dialog:
        return qobject_cast<QDialog*>(&widget) != nullptr;
    case ControlKind::MenuBar:
        return qobject_cast<QMenuBar*>(&widget) != nullptr;
    }
    return false;
}

// The core reaches the window by these names only: each must be there, as the kind named.
// The test form refuses every other name, so the core's tests catch a wrong one too.
TEST_F(LayoutTest, EveryNamedControlIsInTheWindowAsItsKind) {
    std::vector<Control> everyNamed(controls::all.begin(), controls::all.end());
    everyNamed.insert(everyNamed.end(), controls::views.begin(), controls::views.end());
    for (const Control& named : everyNamed) {
        const QString name =
            QLatin1String(named.name.data(), static_cast<qsizetype>(named.name.size()));
        QWidget* widget = window.findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << named.name;
        EXPECT_TRUE(isOfKind(*widget, named.kind)) << named.name;
    }
    test::MemoryForm form;
    EXPECT_THROW(form.setText("edPanzerungX", "1"), std::logic_error);
    EXPECT_THROW((void)form.text("edpanzerung"), std::logic_error);
}

// The menu bar and the dialogs are made by code: their names are checked in the windows that
// make them.
TEST_F(LayoutTest, EveryControlTheCodeMakesIsInItsWindowAsItsKind) {
    QUndoStack history;
    WindowActions actions(window, ui, history, {});
    new ReviewDialog(&window, QStringLiteral("Review"), QStringLiteral("text"), true);
    new FleetChangeDialog(QStringLiteral("Cargo hold"), 2, QStringLiteral("li_elite"), &window);
    new HelpWindow(&window, QStringLiteral("text"));
    test::TempDir folder;
    TJournal journal{folder.folder(), "DebugOut",
                     JournalIdentity{"skarvel", "0.6.0.1", "host", "user"}};
    test::ScriptedDialogs dialogs;
    new TMainForm(&window, "0.6.0.1", journal, "ftp://127.0.0.1:21/", dialogs);
    for (const Control& named : controls::made) {
        const QString name =
            QLatin1String(named.name.data(), static_cast<qsizetype>(named.name.size()));
        QWidget* widget = window.findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << named.name;
        EXPECT_TRUE(isOfKind(*widget, named.kind)) << named.name;
    }
}

TEST_F(LayoutTest, WindowHasItsCaptionAndDesignedSize) {
    EXPECT_EQ(window.windowTitle(), " ..:: Freelancer Skarvel ::..");
    EXPECT_EQ(window.minimumSize(), QSize(800, 550));
    EXPECT_EQ(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    EXPECT_EQ(window.size(), QSize(800, 790));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(ui.StatusBAr->currentMessage().toStdString(),
              "  :: Skarvel Version 0.5.1 build 90" + statusBarContact());
}

// The window grows beyond its designed size, not below it, and the pages' tables with it.
TEST_F(LayoutTest, WindowResizesAboveItsDesignedSizeAndTheTablesGrow) {
    ui.pcMain->setCurrentWidget(ui.tsFleet);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QSize fleet = ui.tvFleet->size();
    const QSize problems = ui.tvProblems->size();
    window.resize(1300, 1000);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(1300, 1000));
    EXPECT_GE(ui.tvFleet->width(), fleet.width() + 400);
    EXPECT_GE(ui.tvFleet->height(), fleet.height() + 150);
    ui.pcMain->setCurrentWidget(ui.tsCheck);
    QApplication::processEvents();
    EXPECT_GE(ui.tvProblems->width(), problems.width() + 400);

    window.resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(800, 550));
    window.showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isMaximized(); }));
    EXPECT_GE(window.width(), 800);
}

TEST_F(LayoutTest, ToolBarHoldsItsButtonsInOrder) {
    EXPECT_EQ(ui.tollbarMain->height(), 49);
    std::vector<std::string> order;
    for (QAction* action : ui.tollbarMain->actions()) {
        order.push_back(ui.tollbarMain->widgetForAction(action)->objectName().toStdString());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"btBeenden", "sepTools1", "btRelload", "btSave",
                                               "btCloseSet", "sepTools2", "btHelp", "btInfo"}));
    for (const auto& [button, enabled] : {std::pair{ui.btBeenden, true},
                                          {ui.btRelload, false},
                                          {ui.btSave, false},
                                          {ui.btHelp, false},
                                          {ui.btInfo, true}}) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->size(), QSize(39, 38));
        EXPECT_EQ(button->iconSize(), QSize(32, 32));
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(button->isEnabled(), enabled);
    }
    EXPECT_EQ(ui.sepTools1->width(), 67);
    EXPECT_EQ(ui.sepTools2->width(), 49);
}

TEST_F(LayoutTest, MenuTreeListsThePagesDepthFirst) {
    std::vector<std::string> items;
    for (QTreeWidgetItemIterator it(ui.tvMenu); *it; ++it) {
        items.push_back((*it)->text(0).toStdString());
        EXPECT_TRUE((*it)->childCount() == 0 || (*it)->isExpanded());
    }
    EXPECT_EQ(items, (std::vector<std::string>{"READ FIRST", "OPTIONS", "GENERAL", "CHARACTER",
                                               "SHIP", "EXTENDED", "FLEET", "EQUIPMENT",
                                               "COMMODITY", "CONSTANTS", "CHECK", "BACKUP"}));
    EXPECT_EQ(ui.tvMenu->topLevelItem(4)->child(0)->text(0), "EXTENDED");
    EXPECT_TRUE(ui.tvMenu->font().bold());
    EXPECT_EQ(ui.tvMenu->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(ui.tvMenu->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(LayoutTest, PagesFollowTheMenuOrder) {
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"tsReadFirst", "READ 1ST"},  {"tsOptions", "Options"},     {"tsGeneral", "General"},
        {"tsCharacter", "Character"}, {"tsShip", "Ship"},           {"TabSheet1", "Extended"},
        {"tsFleet", "Fleet"},         {"tsEquipment", "Equipment"}, {"tsCommodity", "Commodity"},
        {"tsConstants", "Constants"}, {"tsCheck", "Check"},         {"tsBackup", "Backup"}};
    ASSERT_EQ(ui.pcMain->count(), static_cast<int>(pages.size()));
    for (int i = 0; i < ui.pcMain->count(); ++i) {
        const auto& page = pages[static_cast<std::size_t>(i)];
        EXPECT_EQ(ui.pcMain->widget(i)->objectName().toStdString(), page.first);
        EXPECT_EQ(ui.pcMain->tabText(i).toStdString(), page.second);
    }
    EXPECT_EQ(ui.pcMain->tabPosition(), QTabWidget::East);
    EXPECT_TRUE(ui.pcMain->tabBar()->font().bold());
    for (const std::string& panel :
         words("panBackReadFirst panBackOptions panBackGeneral panBackCharacter panBackShip "
               "panBackExtended panBackFleet panBackEquipment panBackCommodity panBackConstants "
               "panBackCheck "
               "panBackBackup")) {
        EXPECT_TRUE(control(panel)->property("hintWired").toBool()) << panel;
    }
    EXPECT_TRUE(ui.tsBackup->isAncestorOf(ui.tvBackups));
    for (const auto& [button, caption] : {std::pair{ui.btBackupNow, "Back up now"},
                                          {ui.btBackupRestore, "Restore…"},
                                          {ui.btBackupDelete, "Delete"},
                                          {ui.btBackupOpenFolder, "Open folder"}}) {
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
    }
    for (const QWidget* trade :
         {static_cast<QWidget*>(ui.tvCommodities), static_cast<QWidget*>(ui.tvMarkets),
          static_cast<QWidget*>(ui.tvRoutes), static_cast<QWidget*>(ui.cbRouteShip),
          static_cast<QWidget*>(ui.btCommoditySave)}) {
        EXPECT_TRUE(trade->isVisibleTo(ui.tsCommodity)) << trade->objectName().toStdString();
    }

    ASSERT_EQ(ui.pcShips->count(), 1);
    EXPECT_EQ(ui.pcShips->tabText(0), "Ship IDS Name");
    EXPECT_TRUE(ui.pcShips->widget(0)->isAncestorOf(ui.lbShips));
}

TEST_F(LayoutTest, HintAreaIsReadOnlyDarkRedOnTooltipColour) {
    EXPECT_TRUE(ui.memoHint->isReadOnly());
    EXPECT_EQ(ui.memoHint->font().pixelSize(), 17);
    EXPECT_TRUE(ui.memoHint->font().bold());
    EXPECT_EQ(ui.memoHint->palette().color(QPalette::Text), QColor(0x8b, 0, 0));
    EXPECT_EQ(ui.memoHint->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::ToolTipBase));
}

TEST_F(LayoutTest, ReadFirstPageShowsItsTextsAndButton) {
    EXPECT_EQ(ui.MemoReadMe->toPlainText(),
              "READ_ME_FIRST\nWhen finished press the button READ & UNDERSTOOD\n\n"
              "There have been many possibilities for making mistakes in the \n"
              "last versions of this tool. And many of them could have been \n"
              "solved by reading this document. So please read this\n"
              "- before you try to edit ;-)");
    EXPECT_TRUE(ui.MemoReadMe->isReadOnly());
    EXPECT_EQ(ui.MemoReadMe->document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(ui.btRead->text(), "&READ && UNDERSTOOD");
    EXPECT_TRUE(ui.btRead->isDefault());
    EXPECT_TRUE(ui.memoReadFirst->isReadOnly());

    // Every section title is underlined by as many "=" as it has characters.
    const QStringList lines = ui.memoReadFirst->toPlainText().split('\n');
    std::vector<std::string> titles;
    for (int i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty() && lines[i] == QString(lines[i].size(), '=')) {
            EXPECT_EQ(lines[i - 1].size(), lines[i].size()) << lines[i - 1].toStdString();
            titles.push_back(lines[i - 1].toStdString());
        }
    }
    for (const char* title : {"WHAT THIS TOOL DOES:", "WHAT THIS TOOL DOESNT:", "HOW TO USE:",
                              "ERRORS and SOLUTIONS:", "FINALY"}) {
        EXPECT_NE(std::find(titles.begin(), titles.end(), title), titles.end()) << title;
    }
    EXPECT_EQ(titles.size(), 10u);
    const QString text = ui.memoReadFirst->toPlainText();
    for (const char* phrase : {"DebugOut_yyyy-mm-dd.mjf", "WINEPREFIX", "~/.wine", "bini",
                               "READ & UNDERSTOOD", "FLMM", "skarvel --demo"}) {
        EXPECT_TRUE(text.contains(QLatin1String(phrase))) << phrase;
    }
}

TEST_F(LayoutTest, OptionsPageHasFoldersAndSwitches) {
    for (const auto& [group, title, field, button, text] :
         {std::tuple{ui.gbFreelancerDir, "FREELANCER Dir", ui.edPfad, ui.btopenFlDir, "c:\\"},
          {ui.gbBiniDir, "BINI Dir", ui.edFliniDir, ui.btOpenFliniDir, ".\\"}}) {
        EXPECT_EQ(group->title(), title);
        EXPECT_TRUE(group->isAncestorOf(field) && group->isAncestorOf(button)) << title;
        EXPECT_EQ(field->text(), text);
    }
    for (const auto& [box, caption] :
         {std::pair{ui.cbShowSecurityWarnings, "Show all security Warnings"},
          {ui.cbCheckNewVersion, "Check for new versions of the Application via Internet"}}) {
        EXPECT_EQ(box->text(), caption);
        EXPECT_TRUE(box->isChecked()) << caption;
    }
}

// Each value field with the caption of the label beside it.
// "field=caption|...".
const char* const kCaptions =
    "edPanzerung=Amor|edNanobot=Nanobot Limit|edShield=Shieldenergy Limit|edMasse=Mass|"
    "edHoldsize=Hold size (cargo capacity)|edShipName=(Userdefined) Shipname|"
    "edShipNickName=Ship nickname|edShipLevel=Ship Level|edMAxBankAngel=Max Bank Angel|"
    "edLinearDrag=Linear Drag|edCameraOffset=Offset|"
    "edCameraAngularAccel=Angular Accelleration|edCameraHorTurnAngle=Horizontical turn angle|"
    "edVerUpTurnAngle=Vertical Turn UP angle|edVerDownTurnAngle=Vertical Turn DOWN angle|"
    "edLODRanges=LOD Ranges|edSteeringTorque=Steering torque|"
    "edRotationInertia=Rotation inertia|edAngularDrag=Angular drag|edShipPrice=for Ship|"
    "edTractorRange=Max. Range|edTractorSpeed=Tracor Force|edPowerMasse=Mass|"
    "edPowerCapacity=Power Output|edPowerRegen=Regeneration Rate|"
    "edThrusterCapacity=Afterburner Capacity|edThrusterChargeRate=Afterburner Recharge Rate|"
    "edEngineMaxForce=Max force|edEngineLinearDrag=Linear drag|"
    "edReverseFraction=Reverse Fraction|edCruisePowerUsage=Cruise powerusage|"
    "edCruiseChargeTime=Cruise charge time|edIdsName=IDS_Name|edShipRealName=Ship Name|"
    "edEngineSpeed=Max Speed|edReverseSpeed=Reverse Speed|edScanRange=Scan Range|"
    "edCargoScanRange=Cargo Scan Range|edTrafePowerUsage=Power used by strafing|"
    "edWeaponHPLevel=max Weapon Level|edTurretHpLevel=max Weapon Level|"
    "edShieldHPLevel=MAX SHIELDGENERATOR LEVEL|cbWeaponHP=Weapon Hardpoint #|"
    "cbTurretHP=Turret Hardpoint #|cbShieldTyp=Shield Typ|edMaxSpeed=Maximum Speed|"
    "edTradeLaneSpeed=Trade Lane Speed|edCruiseSpeed=Cruise Speed|"
    "edCruiseDisruptTime=Cruise disruption time|edMaxLootPerAstroid=Max Loot per astroid|"
    "edHullUnitsPerItem=Hull Units per Item|edShieldUnitsPerItem=Shield Units per Item|"
    "edStartingMoney=Starting money|cbStartingBase=Starting Base";

TEST_F(LayoutTest, EveryValueFieldHasItsCaptionOnItsPage) {
    const auto shipPage =
        wordSet("edPanzerung edEngineSpeed edPowerMasse cbWeaponHP edShieldHPLevel edIdsName");
    const auto extendedPage = wordSet(
        "edTractorRange edScanRange edLODRanges edSteeringTorque edShipPrice edCameraOffset");
    std::istringstream captions(kCaptions);
    for (std::string entry; std::getline(captions, entry, '|');) {
        const std::string field = entry.substr(0, entry.find('='));
        const std::string caption = entry.substr(field.size() + 1);
        QWidget* value = control(field);
        const std::string labelName = "lab" + field.substr(2);
        auto* label = control<QLabel>(labelName);
        if (value == nullptr || label == nullptr) {
            continue;
        }
        EXPECT_EQ(label->text().toStdString(), caption) << field;
        EXPECT_EQ(label->parentWidget(), value->parentWidget()) << field;
        if (shipPage.count(field) != 0) {
            EXPECT_TRUE(ui.panBackShip->isAncestorOf(value)) << field;
        }
        if (extendedPage.count(field) != 0) {
            EXPECT_TRUE(ui.panBackExtended->isAncestorOf(value)) << field;
        }
    }
    EXPECT_TRUE(ui.panBackGeneral->isAncestorOf(ui.edMaxSpeed));
    EXPECT_TRUE(ui.panBackCharacter->isAncestorOf(ui.cbStartingBase));

    for (const auto& [widget, caption] : {std::pair<QWidget*, const char*>{ui.labEngine, "ENGINE"},
                                          {ui.labPower, "POWER"},
                                          {ui.labTractor, "TRACTOR BEAM"},
                                          {ui.labScanner, "SCANNER"},
                                          {ui.btFastAndAgil, "Fast && Agil"}}) {
        EXPECT_EQ(widget->property("text").toString(), caption);
    }
    std::set<std::string> groups;
    for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
        groups.insert(group->title().toStdString());
    }
    for (const char* title : {"SHIP HANDLING", "CAMERA", "VIEW", "PRICE", "SPEED", "CRUISE ENGINE",
                              "ASTEROIDS", "NANOBOT PAKET", "SHIELD ENERY PACKET"}) {
        EXPECT_EQ(groups.count(title), 1u) << title;
    }
}

TEST_F(LayoutTest, ReadOnlyDisabledAndDesignTexts) {
    for (const std::string& name :
         words("edShipName edShipNickName edShipLevel edMAxBankAngel edLinearDrag edLODRanges "
               "edSteeringTorque edRotationInertia edAngularDrag edIdsName edShipRealName "
               "edWeaponHPLevel edTurretHpLevel edShieldHPLevel")) {
        EXPECT_TRUE(control<QLineEdit>(name)->isReadOnly()) << name;
    }
    for (const std::string& name : words("edPanzerung edEngineSpeed edReverseFraction "
                                         "edCameraOffset edShipPrice edMaxSpeed edStartingMoney")) {
        EXPECT_FALSE(control<QLineEdit>(name)->isReadOnly()) << name;
    }
    std::set<std::string> disabled;
    for (QWidget* widget : ui.pcMain->findChildren<QWidget*>()) {
        if (!widget->isEnabledTo(ui.pcMain) && !widget->objectName().isEmpty()) {
            disabled.insert(widget->objectName().toStdString());
        }
    }
    EXPECT_EQ(disabled, wordSet("edShipName edShipNickName edShipLevel edScanRange "
                                "edCargoScanRange udScanRange udCargoScanRange labScanner "
                                "edTradeLaneSpeed labTradeLaneSpeed btCommoditySave"));
    for (const char* name : {"edScanRange", "edCargoScanRange", "edTrafePowerUsage"}) {
        EXPECT_EQ(control<QLineEdit>(name)->text(), "0") << name;
    }
    for (const char* name : {"edWeaponHPLevel", "edTurretHpLevel", "edShieldHPLevel"}) {
        EXPECT_EQ(control<QLineEdit>(name)->text(), "1") << name;
    }
    EXPECT_TRUE(ui.edPanzerung->text().isEmpty());
}

TEST_F(LayoutTest, DropDownListsArePickOnly) {
    EXPECT_EQ(ui.cbShieldTyp->count(), 4);
    QStringList shieldTypes;
    for (int i = 0; i < ui.cbShieldTyp->count(); ++i) {
        shieldTypes << ui.cbShieldTyp->itemText(i);
    }
    EXPECT_EQ(shieldTypes, (QStringList{"original", "fighter", "elite", "freighter"}));
    EXPECT_EQ(ui.cbStartingBase->count(), 1);
    EXPECT_EQ(ui.cbStartingBase->itemText(0), "1");
    EXPECT_EQ(ui.cbStartingBase->currentIndex(), -1);
    EXPECT_EQ(ui.cbStartingBase->maxVisibleItems(), 10);
    EXPECT_EQ(ui.cbStartingBase->toolTip(),
              "Here you can select the base on which you like to start");
    EXPECT_EQ(ui.cbWeaponHP->count(), 0);
    EXPECT_EQ(ui.cbTurretHP->count(), 0);
    for (QComboBox* list : window.findChildren<QComboBox*>()) {
        EXPECT_FALSE(list->isEditable()) << list->objectName().toStdString();
    }
}

// The width a line edit leaves for its text: its contents less the two pixels it keeps on
// either side and the cursor.
int textRoom(const QLineEdit& field) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.rect = QRect(0, 0, field.minimumWidth(), field.sizeHint().height());
    option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
    return field.style()->subElementRect(QStyle::SE_LineEditContents, &option, &field).width() -
           2 * 2 - 1;
}

TEST_F(LayoutTest, ValuesOfRealFilesShowWholeWithinTheWindowsWidth) {
    const std::set<QString> lists{"edSteeringTorque", "edRotationInertia", "edAngularDrag",
                                  "edCameraOffset"};
    for (QWidget* page : {ui.panBackShip, ui.panBackExtended}) {
        for (QLineEdit* field : page->findChildren<QLineEdit*>()) {
            const QString name = field->objectName();
            if (field->minimumWidth() != field->maximumWidth() || name.endsWith("HPLevel") ||
                name.endsWith("HpLevel")) {
                continue; // fields that stretch, and the levels 1 to 10
            }
            const QString widest = lists.count(name) != 0
                                       ? "123456.123456, 123456.123456, 123456.123456"
                                       : "123456.123456";
            EXPECT_GE(textRoom(*field), field->fontMetrics().horizontalAdvance(widest))
                << name.toStdString();
        }
    }

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (QComboBox* list : {ui.cbWeaponHP, ui.cbTurretHP, ui.cbShieldTyp}) {
        list->addItems({"HpTorpedo01", "HpWeapon10", "HpShield01"});
        EXPECT_GE(list->width(), list->sizeHint().width()) << list->objectName().toStdString();
    }
    // Only the page's own tab shows, as in the running window.
    for (auto [page, area] :
         {std::pair{ui.tsShip, ui.scrollShip}, {ui.TabSheet1, ui.scrollExtended}}) {
        for (int i = 0; i < ui.pcMain->count(); ++i) {
            ui.pcMain->setTabVisible(i, ui.pcMain->widget(i) == page);
        }
        ui.pcMain->setCurrentWidget(page);
        QApplication::processEvents();
        EXPECT_LE(area->widget()->minimumSizeHint().width(), area->viewport()->width())
            << page->objectName().toStdString();
    }
}

TEST_F(LayoutTest, SpinnersAreBoundToTheirFields) {
    // "spinner=field" by range.
    const std::vector<std::tuple<int, int, const char*>> ranges = {
        {0, 32000,
         "udPanzerung=edPanzerung udNanobot=edNanobot udShield=edShield udMasse=edMasse "
         "udHoldsize=edHoldsize udMaxBankAngle=edMAxBankAngel udLinearDrag=edLinearDrag "
         "udCameraHorTurnAngle=edCameraHorTurnAngle udVerUpTurnAngle=edVerUpTurnAngle "
         "udVerDownTurnAngle=edVerDownTurnAngle udTractorRange=edTractorRange "
         "udTractorSpeed=edTractorSpeed udPowerMasse=edPowerMasse "
         "udPowerCapacity=edPowerCapacity udPowerRegen=edPowerRegen "
         "udThrusterCapacity=edThrusterCapacity udThrusterChargeRate=edThrusterChargeRate "
         "udCruisePowerUsage=edCruisePowerUsage udCruiseChargeTime=edCruiseChargeTime "
         "udScanRange=edScanRange udCargoScanRange=edCargoScanRange "
         "UpDown1=edTrafePowerUsage"},
        {1, 10,
         "udWeaponHpLevel=edWeaponHPLevel udTurretHpLevel=edTurretHpLevel "
         "udShieldHpLevel=edShieldHPLevel"},
    };
    qsizetype count = 0;
    for (const auto& [minimum, maximum, pairs] : ranges) {
        for (const std::string& pair : words(pairs)) {
            const std::string name = pair.substr(0, pair.find('='));
            auto* spinner = control<UpDown>(name);
            ++count;
            ASSERT_NE(spinner, nullptr);
            ASSERT_NE(spinner->buddy(), nullptr) << name;
            EXPECT_EQ(spinner->buddy()->objectName().toStdString(), pair.substr(name.size() + 1));
            EXPECT_EQ(spinner->minimum(), minimum) << name;
            EXPECT_EQ(spinner->maximum(), maximum) << name;
            EXPECT_EQ(spinner->singleStep(), 1);
            EXPECT_EQ(spinner->property("hint"), spinner->buddy()->property("hint")) << name;
            EXPECT_TRUE(spinner->property("hintWired").toBool()) << name;
        }
    }
    EXPECT_EQ(window.findChildren<UpDown*>().size(), count);
}

TEST_F(LayoutTest, ConstantsTablesListEveryKeyWithAnEmptyValue) {
    const std::vector<std::tuple<const char*, const char*, int, const char*>> tables = {
        {"ValueListEditor1", "CommConsts", 10, "COMM_PLAYER_FAR_DIST"},
        {"ValueListEditor2", "PhySysConsts", 32, "PHYSICAL_SIM_RATE"},
        {"ValueListEditor3", "ThrusterEquipConsts", 7, "INTERIOR_SOUND_NAME"},
        {"ValueListEditor4", "ShieldEquipConsts", 1, "HULL_DAMAGE_FACTOR"},
        {"ValueListEditor5", "EngineEquipConsts", 13, "CRUISING_SPEED"},
        {"ValueListEditor6", "Constants", 13, "COLLISION_DAMAGE_FACTOR"},
        {"ValueListEditor7", "AsteroidConsts", 2, "MAX_LOOT_PER_ASTEROID"},
    };
    QWidget* previous = nullptr;
    for (const auto& [name, title, rows, lastKey] : tables) {
        auto* table = control<QTableWidget>(name);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->columnCount(), 2);
        EXPECT_EQ(table->horizontalHeaderItem(0)->text(), title);
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "Value");
        ASSERT_EQ(table->rowCount(), rows) << name;
        EXPECT_EQ(table->item(rows - 1, 0)->text(), lastKey);
        std::set<QString> keys;
        for (int row = 0; row < rows; ++row) {
            keys.insert(table->item(row, 0)->text());
            EXPECT_TRUE(table->item(row, 1)->text().isEmpty());
            EXPECT_FALSE(table->item(row, 0)->flags().testFlag(Qt::ItemIsEditable));
        }
        EXPECT_EQ(keys.size(), static_cast<size_t>(rows)) << name << " repeats a key";
        EXPECT_TRUE(ui.panBackConstants->isAncestorOf(table));
        if (previous != nullptr) {
            EXPECT_LT(previous->y(), table->y()) << name;
        }
        previous = table;
    }
    EXPECT_EQ(ui.ValueListEditor2->item(29, 0)->text(), "ANOM_LIMITS_MAX_VELOCITY");
    EXPECT_EQ(ui.ValueListEditor5->item(0, 0)->text(), "CRUISE_DISRUPT_TIME");
}

TEST_F(LayoutTest, KeyHandlersAreMarkedOnTheirFields) {
    EXPECT_EQ(
        namesWith("keyHandler", QStringLiteral("KeyDown")),
        wordSet("edTradeLaneSpeed edCruiseSpeed edMaxSpeed edHullUnitsPerItem edShieldUnitsPerItem "
                "edCruiseDisruptTime edMaxLootPerAstroid edStartingMoney cbStartingBase "
                "edThrusterChargeRate edThrusterCapacity edShield edPanzerung edNanobot "
                "edHoldsize edPowerMasse edPowerRegen edPowerCapacity edTrafePowerUsage "
                "edShieldHPLevel cbWeaponHP cbTurretHP edWeaponHPLevel edTurretHpLevel "
                "edTractorRange edTractorSpeed edScanRange edCargoScanRange edMAxBankAngel "
                "edShipPrice"));
    EXPECT_EQ(namesWith("keyHandler", QStringLiteral("KeyDownFracted")),
              (std::set<std::string>{"edSteeringTorque", "edAngularDrag", "edRotationInertia",
                                     "edCameraOffset", "edLODRanges"}));
    EXPECT_EQ(namesWith("keyHandler", QStringLiteral("KeyDownDecimal")),
              wordSet("edMasse edLinearDrag edCameraHorTurnAngle edVerUpTurnAngle "
                      "edVerDownTurnAngle edCruisePowerUsage edCruiseChargeTime "
                      "edCameraAngularAccel"));
    for (const char* field : {"edEngineSpeed", "edEngineMaxForce", "edEngineLinearDrag",
                              "edReverseFraction", "edReverseSpeed"}) {
        EXPECT_EQ(control(field)->property("keyHandler").toString(),
                  QString::fromLatin1(field) + "KeyDown");
    }
}

TEST_F(LayoutTest, HintsGoToTheHintAreaNotToTooltips) {
    std::set<std::string> wired = namesWith("hintWired", true);
    for (QWidget* widget : ui.pcMain->findChildren<QWidget*>()) {
        const std::string name = widget->objectName().toStdString();
        const bool isField = qobject_cast<QLineEdit*>(widget) != nullptr &&
                             widget->parent() != nullptr && !name.empty();
        const bool shouldBeWired =
            qobject_cast<QLabel*>(widget) != nullptr || qobject_cast<UpDown*>(widget) != nullptr ||
            qobject_cast<QTableWidget*>(widget) != nullptr ||
            (isField && name != "edPfad" && name != "edFliniDir" && name != "edAngularDrag");
        if (shouldBeWired) {
            EXPECT_EQ(wired.count(name), 1u) << name << " should show its hint";
        }
        // The one box that says in the hint area what it does: the files kept playable.
        if ((qobject_cast<QComboBox*>(widget) != nullptr ||
             qobject_cast<QCheckBox*>(widget) != nullptr) &&
            name != "cbKeepFilesPlain") {
            EXPECT_EQ(wired.count(name), 0u) << name << " must not show a hint";
        }
    }
    for (const std::string& name :
         words("tvMenu lbShips pcShips pcMain tollbarMain btBeenden btRelload btSave MemoReadMe "
               "memoReadFirst memoHint btFastAndAgil gbFreelancerDir gbBiniDir")) {
        EXPECT_EQ(wired.count(name), 1u) << name;
    }
    for (const std::string& name :
         words("btRead btInfo btHelp btopenFlDir btOpenFliniDir edPfad edFliniDir edAngularDrag")) {
        EXPECT_EQ(wired.count(name), 0u) << name;
    }

    std::set<std::string> withTooltip;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->toolTip().isEmpty()) {
            withTooltip.insert(widget->objectName().toStdString());
        }
    }
    EXPECT_EQ(withTooltip, std::set<std::string>{"cbStartingBase"});
}

TEST_F(LayoutTest, HintTextsAreQuotedExactly) {
    const std::map<std::string, std::string> hints = {
        {"tvMenu",
         "Here you can choose the different sections this tool can edit. [OPTIONS] will edit "
         "the necesseary paths for the files. [GENERAL] can change settings like speed, "
         "Tractor, asteroids... [SHIP] holds all the values for the different ships  "
         "[CONSTANTS] shows all possible values for the constants.ini file   and "
         "[COMMODITIES] will host a commodity calculator in the near future."},
        {"lbShips", "Here you can choose the ship you like to edit"},
        {"btBeenden", "Closes the Programm"},
        {"btRelload", "Loads the values from out of the INI files from Freelancer"},
        {"btSave", "Saves the Values you edited into the Ini Files"},
        {"btInfo", "A little Info Dialog"},
        {"edReverseSpeed",
         "The speed with which you are flying backwards (normaly mapped to x)  A positiv Value "
         "says MOVING_BACKWARD, a negativ value says MOVING_FORWARD ;-)  (REVERSE_FRACTION * "
         "MAX SPEED)"},
        {"edAngularDrag", control("edSteeringTorque")->property("hint").toString().toStdString()},
        {"edVerDownTurnAngle",
         "The different aspect for the camera movement (diddnt figure out theese values yet)"},
        {"edShieldHPLevel", "The highest possible value for the Shield generator Level is 10"},
        {"cbWeaponHP", "Chhose the Hardpoint Number here"},
        {"labCharacter", "Changes only take affect when you start a new multiplayer game"},
        {"edStartingMoney", "This is the money you get a the beginning of a new multiplayer game"},
        {"gbBiniDir",
         "This is the directory where BINI.EXE is installed. Normaly this should be the same "
         "dir as where this tool is installed. Only alter this path if you like to use a "
         "different BINI Version !"},
    };
    for (const auto& [name, hint] : hints) {
        EXPECT_EQ(control(name)->property("hint").toString().toStdString(), hint) << name;
    }
    EXPECT_TRUE(control("edSteeringTorque")
                    ->property("hint")
                    .toString()
                    .endsWith("!! ALWAYS 3 VALUES seperated by ;"));
    EXPECT_FALSE(control("btHelp")->property("hint").isValid());
    EXPECT_FALSE(control("labPanzerung")->property("hint").isValid());
}

// The spinner steps the number in its field's text, as a text change.
class UpDownTest : public ::testing::Test {
protected:
    void SetUp() override {
        spinner.setBuddy(&field);
        spinner.setRange(1, 10);
        spinner.resize(17, 22);
    }
    QStringList changesAfter(const QString& start, void (UpDown::*step)()) {
        field.setText(start);
        QStringList texts;
        const auto connection = QObject::connect(&field, &QLineEdit::textChanged,
                                                 [&texts](const QString& text) { texts << text; });
        (spinner.*step)();
        QObject::disconnect(connection);
        return texts;
    }
    QLineEdit field;
    UpDown spinner;
};

TEST_F(UpDownTest, StepsTheFieldTextWithinItsRange) {
    EXPECT_EQ(changesAfter("5", &UpDown::stepUp), QStringList{"6"});
    EXPECT_EQ(changesAfter("5", &UpDown::stepDown), QStringList{"4"});
    EXPECT_EQ(changesAfter("10", &UpDown::stepUp), QStringList{});
    EXPECT_EQ(changesAfter("1", &UpDown::stepDown), QStringList{});
    EXPECT_EQ(changesAfter("255", &UpDown::stepDown), QStringList{"254"});
}

TEST_F(UpDownTest, AnEmptyFieldStartsFromTheMinimumAndOtherTextStays) {
    EXPECT_EQ(changesAfter("", &UpDown::stepUp), QStringList{"2"});
    EXPECT_EQ(changesAfter("1, 2", &UpDown::stepUp), QStringList{});
    EXPECT_EQ(changesAfter("12,5", &UpDown::stepDown), QStringList{"12,4"});
}

TEST_F(UpDownTest, AClickStepsAFractionByItsLastDecimalPlace) {
    spinner.setRange(0, 32000);
    field.setText("0.35");
    QTest::mouseClick(&spinner, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(field.text(), "0.36");
}

TEST_F(UpDownTest, ClicksOnTheUpperAndLowerHalf) {
    field.setText("3");
    QTest::mouseClick(&spinner, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(field.text(), "4");
    QTest::mouseClick(&spinner, Qt::LeftButton, {}, QPoint(8, 18));
    QTest::mouseClick(&spinner, Qt::LeftButton, {}, QPoint(8, 18));
    EXPECT_EQ(field.text(), "2");
    spinner.setEnabled(false);
    QTest::mouseClick(&spinner, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(field.text(), "2");
}

QByteArray aboutPictureBytes() {
    QFile file(QStringLiteral(":/about.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(JpegImageTest, DecodesThePictureAndRefusesBrokenBytes) {
    TformInfo loadResources; // registers the resources of the program
    const QByteArray bytes = aboutPictureBytes();
    ASSERT_FALSE(bytes.isEmpty());
    const QImage picture = decodeJpeg(bytes);
    EXPECT_EQ(picture.size(), QSize(300, 256));
    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(decodeJpeg(bytes.left(bytes.size() / 2)).isNull());
    EXPECT_TRUE(decodeJpeg(bytes.left(4)).isNull());
}

TEST(InfoWindowTest, ShowsThePictureAndOpensTheAddresses) {
    std::vector<std::string> opened;
    const std::string contact = "mods@example.net";
    TformInfo info(
        nullptr,
        [&opened](const std::string& address) {
            opened.push_back(address);
            return true;
        },
        contact);
    EXPECT_EQ(info.windowTitle(), "Info");
    EXPECT_EQ(info.size(), QSize(522, 418));
    EXPECT_EQ(info.minimumSize(), info.maximumSize());
    EXPECT_TRUE(info.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    info.show();

    using test::control;
    auto& picture = control<QLabel>(info, "imgPicture");
    EXPECT_EQ(picture.pixmap().size(), QSize(300, 256));
    EXPECT_EQ(control<QFrame>(info, "panPicture").frameShadow(), QFrame::Sunken);
    const QFont credit = control<QLabel>(info, "labCredit").font();
    EXPECT_TRUE(credit.bold());
    EXPECT_EQ(credit.pixelSize(), 16);
    EXPECT_EQ(control<QLabel>(info, "labTips").text(), "Tips and Hints from ");
    EXPECT_EQ(control<QLabel>(info, "labComments").text(), "Any comments and hints to ");

    QTest::mouseClick(&picture, Qt::LeftButton);
    auto& web = control<QLabel>(info, "labWeb");
    auto& mail = control<QLabel>(info, "labMail");
    EXPECT_TRUE(web.text().contains(TformInfo::webAddress));
    EXPECT_TRUE(mail.text().contains(QString::fromStdString(contact)));
    emit web.linkActivated(TformInfo::webAddress);
    emit mail.linkActivated(QString::fromStdString("mailto:" + contact));
    EXPECT_EQ(opened, (std::vector<std::string>{TformInfo::galleryAddress, TformInfo::webAddress,
                                                "mailto:" + contact}));

    auto& close = control<QPushButton>(info, "btClose");
    EXPECT_EQ(close.text(), "Close");
    QTest::mouseClick(&close, Qt::LeftButton);
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(info.result(), QDialog::Accepted);
}

// A build names a contact address or none; without one no text offers an address.
TEST(ContactTest, ABuildWithoutAnAddressShowsNoContactLine) {
    for (const std::string address : {"", "mods@example.net"}) {
        SCOPED_TRACE(address);
        EXPECT_EQ(statusBarContact(address),
                  address.empty() ? "" : "          :: Comments or suggestions to " + address);
        TformInfo info(
            nullptr, [](const std::string&) { return true; }, address);
        info.show();
        for (const char* label : {"labComments", "labMail"}) {
            EXPECT_EQ(test::control<QLabel>(info, label).isVisible(), !address.empty()) << label;
        }
    }
}

} // namespace
} // namespace skarvel

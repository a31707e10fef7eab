#include "app/MainWindowLayout.h"

#include "app/UpDown.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QTabBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <initializer_list>

// The resources live in a static library: register them explicitly, once, before the first
// icon is loaded (a static library's own registration may be dropped by the linker).
static void registerSkarvelResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(skarvel);
        return true;
    }();
    (void)registered;
}

namespace skarvel {

namespace {

constexpr int leftColumnWidth = 208;
constexpr int menuTreeHeight = 152;
constexpr int hintAreaHeight = 122;
constexpr int hintFontPixels = 17;
constexpr int shipValueMaximum = 32000;
constexpr int hardpointLevelMaximum = 10;
constexpr int constantsKeyColumnWidth = 330;

const char* const designStatusText = "  :: Skarvel Version 0.5.1 build 90          :: Comments or "
                                     "suggestions to skarvel@example.org";

struct SpinnerBinding {
    UpDown* spinner;
    QLineEdit* field;
    int minimum;
    int maximum;
};

void bindSpinners(Ui::TformSkarvel& ui) {
    const std::initializer_list<SpinnerBinding> bindings = {
        {ui.udPanzerung, ui.edPanzerung, 0, shipValueMaximum},
        {ui.udNanobot, ui.edNanobot, 0, shipValueMaximum},
        {ui.udShield, ui.edShield, 0, shipValueMaximum},
        {ui.udMasse, ui.edMasse, 0, shipValueMaximum},
        {ui.udHoldsize, ui.edHoldsize, 0, shipValueMaximum},
        {ui.udMaxBankAngle, ui.edMAxBankAngel, 0, shipValueMaximum},
        {ui.udLinearDrag, ui.edLinearDrag, 0, shipValueMaximum},
        {ui.udCameraHorTurnAngle, ui.edCameraHorTurnAngle, 0, shipValueMaximum},
        {ui.udVerUpTurnAngle, ui.edVerUpTurnAngle, 0, shipValueMaximum},
        {ui.udVerDownTurnAngle, ui.edVerDownTurnAngle, 0, shipValueMaximum},
        {ui.udTractorRange, ui.edTractorRange, 0, shipValueMaximum},
        {ui.udTractorSpeed, ui.edTractorSpeed, 0, shipValueMaximum},
        {ui.udPowerMasse, ui.edPowerMasse, 0, shipValueMaximum},
        {ui.udPowerCapacity, ui.edPowerCapacity, 0, shipValueMaximum},
        {ui.udPowerRegen, ui.edPowerRegen, 0, shipValueMaximum},
        {ui.udThrusterCapacity, ui.edThrusterCapacity, 0, shipValueMaximum},
        {ui.udThrusterChargeRate, ui.edThrusterChargeRate, 0, shipValueMaximum},
        {ui.udCruisePowerUsage, ui.edCruisePowerUsage, 0, shipValueMaximum},
        {ui.udCruiseChargeTime, ui.edCruiseChargeTime, 0, shipValueMaximum},
        {ui.udScanRange, ui.edScanRange, 0, shipValueMaximum},
        {ui.udCargoScanRange, ui.edCargoScanRange, 0, shipValueMaximum},
        {ui.UpDown1, ui.edTrafePowerUsage, 0, shipValueMaximum},
        {ui.udWeaponHpLevel, ui.edWeaponHPLevel, 1, hardpointLevelMaximum},
        {ui.udTurretHpLevel, ui.edTurretHpLevel, 1, hardpointLevelMaximum},
        {ui.udShieldHpLevel, ui.edShieldHPLevel, 1, hardpointLevelMaximum},
    };
    for (const SpinnerBinding& binding : bindings) {
        binding.spinner->setBuddy(binding.field);
        binding.spinner->setRange(binding.minimum, binding.maximum);
        binding.spinner->setSingleStep(1);
    }
}

struct ConstantsSection {
    QTableWidget* table;
    const char* title;
    std::initializer_list<const char*> keys;
};

void fillConstantsTable(const ConstantsSection& section) {
    QTableWidget& table = *section.table;
    table.setColumnCount(2);
    table.setHorizontalHeaderLabels({QString::fromLatin1(section.title), QStringLiteral("Value")});
    table.setRowCount(static_cast<int>(section.keys.size()));
    int row = 0;
    for (const char* key : section.keys) {
        auto* keyItem = new QTableWidgetItem(QString::fromLatin1(key));
        keyItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table.setItem(row, 0, keyItem);
        table.setItem(row, 1, new QTableWidgetItem(QString()));
        ++row;
    }
    table.verticalHeader()->hide();
    table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().height() + 6);
    table.horizontalHeader()->setStretchLastSection(true);
    table.horizontalHeader()->setSectionsClickable(false);
    table.setColumnWidth(0, constantsKeyColumnWidth);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every row is shown: the page scrolls, not the table.
    const int height = table.horizontalHeader()->sizeHint().height() +
                       table.verticalHeader()->defaultSectionSize() * table.rowCount() +
                       2 * table.frameWidth();
    table.setFixedHeight(height);
}

void fillConstantsTables(Ui::TformSkarvel& ui) {
    const std::initializer_list<ConstantsSection> sections = {
        {ui.ValueListEditor1,
         "CommConsts",
         {"WALLA_PRIORITY_CUTOFF", "WALLA_START_ATTEN", "WALLA_MAX_DIST_ATTEN", "WALLA_MAX_DIST",
          "COMM_CONFLICT_PRIORITY_CUTOFF", "CHATTER_START_ATTEN", "CHATTER_MAX_DIST_ATTEN",
          "CHATTER_MAX_DIST", "COMM_PLAYER_FAR_DIST_ATTEN", "COMM_PLAYER_FAR_DIST"}},
        {ui.ValueListEditor2,
         "PhySysConsts",
         {"RC_MAX_DELTA_ORIENTATION",
          "RC_MAX_DELTA_POSITION",
          "GOLEM_ANGULAR_DAMP_FACTOR",
          "GOLEM_TORQUE_FACTOR",
          "GOLEM_DAMP_FACTOR",
          "GOLEM_FORCE_FACTOR",
          "GOLEM_MAX_TORQUE",
          "GOLEM_MAX_TRANSLATION_FORCE",
          "GOLEM_DELTA_ORIENTATION",
          "GOLEM_MAX_DELTA_POSITION",
          "GOLEM_CHILD_ANGULAR_DAMP",
          "GOLEM_CHILD_LINEAR_DAMP",
          "GOLEM_CHILD_MASS",
          "DEFAULT_ANGULAR_DAMPING",
          "DEFAULT_LINEAR_DAMPING",
          "RMGR_LOOK_AHEAD_MIN_SECONDS_INTRA",
          "RMGR_LOOK_AHEAD_MAX_DISTANCE_INTRA",
          "RMGR_LOOK_AHEAD_MIN_DISTANCE_INTRA",
          "RMGR_LOOK_AHEAD_MAX_RADIUS_INTRA",
          "RMGR_LOOK_AHEAD_TIME_INTRA",
          "RMGR_LOOK_AHEAD_MIN_SECONDS_WORLD",
          "RMGR_LOOK_AHEAD_MAX_DISTANCE_WORLD",
          "RMGR_LOOK_AHEAD_MIN_DISTANCE_WORLD",
          "RMGR_LOOK_AHEAD_MAX_RADIUS_WORLD",
          "RMGR_LOOK_AHEAD_TIME_WORLD",
          "MIN_TIME_BETWEEN_COLLISIONS",
          "MATERIAL_ELASTICITY",
          "MATERIAL_FRICTION",
          "ANOM_LIMITS_MAX_ANGULAR_VELOCITY_PER_PSI",
          "ANOM_LIMITS_MAX_VELOCITY",
          "MAX_SPAWNED_MINDIST_COUNT",
          "PHYSICAL_SIM_RATE"}},
        {ui.ValueListEditor3,
         "ThrusterEquipConsts",
         {"OUTSIDE_CONE_ATTENUATION", "OUTSIDE_CONE_ANGLE", "INSIDE_CONE_ANGLE", "MIN_VOLUME_FORCE",
          "MAX_VOLUME_FORCE", "EXTERIOR_SOUND_NAME", "INTERIOR_SOUND_NAME"}},
        {ui.ValueListEditor4, "ShieldEquipConsts", {"HULL_DAMAGE_FACTOR"}},
        {ui.ValueListEditor5,
         "EngineEquipConsts",
         {"CRUISE_DISRUPT_TIME", "MAX_DELTA_FX_THROTTLE", "THROTTLE_STEADY_TIME",
          "THROTTLE_ATTEN_MOD_RANGE", "DELTA_THROTTLE_ATTEN_MOD_CHANGING",
          "DELTA_THROTTLE_ATTEN_MOD_STEADY", "CRUISE_STEADY_TIME", "DELTA_CRUISE_ATTEN_MOD_STEADY",
          "CRUISE_ATTEN_MOD_RANGE", "MAX_ENGINE_FX_THROTTLE", "CRUISE_DRAG", "CRUISE_ACCEL_TIME",
          "CRUISING_SPEED"}},
        {ui.ValueListEditor6,
         "Constants",
         {"MAX_PLAYER_AMMO", "PLAYER_ATTACHED_EQUIP_HIT_PTS_SCALE",
          "PLAYER_COLLISION_GROUP_HIT_PTS_SCALE", "FIRE_FAILED_DELAY", "FIRE_FAILED_SOUND",
          "MUZZLE_CONE_ANGLE", "SND_CARGO_JETTISONED", "JETTISONED_CARGO_VELOCITY",
          "MUSIC_CROSS_FADE_DELAY", "LOOT_UNSEEN_RADIUS", "LOOT_UNSEEN_LIFE_TIME",
          "LOOT_OWNER_SAFE_TIME", "COLLISION_DAMAGE_FACTOR"}},
        {ui.ValueListEditor7,
         "AsteroidConsts",
         {"MAX_ASTEROID_LOOT_DAMAGE", "MAX_LOOT_PER_ASTEROID"}},
    };
    for (const ConstantsSection& section : sections) {
        fillConstantsTable(section);
    }
}

void setCentredText(QTextEdit& memo, const QString& text) {
    memo.setPlainText(text);
    QTextCursor cursor(memo.document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    memo.moveCursor(QTextCursor::Start);
}

void setIcons(Ui::TformSkarvel& ui, QMainWindow& window) {
    registerSkarvelResources();
    window.setWindowIcon(QIcon(QStringLiteral(":/icons/skarvel.png")));
    ui.btBeenden->setIcon(QIcon(QStringLiteral(":/icons/close.png")));
    ui.btRelload->setIcon(QIcon(QStringLiteral(":/icons/reload.png")));
    ui.btSave->setIcon(QIcon(QStringLiteral(":/icons/save.png")));
    ui.btHelp->setIcon(QIcon(QStringLiteral(":/icons/help.png")));
    ui.btInfo->setIcon(QIcon(QStringLiteral(":/icons/info.png")));
}

void styleHintArea(QPlainTextEdit& memo) {
    QFont font = memo.font();
    font.setPixelSize(hintFontPixels);
    font.setBold(true);
    memo.setFont(font);
    QPalette palette = memo.palette();
    const QColor background = QApplication::palette().color(QPalette::ToolTipBase);
    const QColor darkRed(0x8b, 0x00, 0x00);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, darkRed);
    }
    memo.setPalette(palette);
}

void styleMenuTree(QTreeWidget& tree) {
    tree.expandAll();
    // The selected page stays marked while the user works on it.
    QPalette palette = tree.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    tree.setPalette(palette);
    // Hot tracking: the item under the mouse is marked.
    tree.setAttribute(Qt::WA_Hover);
    tree.setStyleSheet(QStringLiteral(
        "QTreeWidget::item:hover:!selected { color: #1c3d6e; text-decoration: underline; }"));
}

void styleGroupTitles(QMainWindow& window) {
    for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
        group->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: #1c3d6e; }"));
    }
}

void styleHeadings(Ui::TformSkarvel& ui) {
    for (QLabel* heading : {ui.labEngine, ui.labPower, ui.labTractor, ui.labScanner}) {
        heading->setStyleSheet(QStringLiteral("QLabel:enabled { color: #1c3d6e; }"));
    }
}

} // namespace

QString readMeText() {
    return QStringLiteral("READ_ME_FIRST\n"
                          "When finished press the button READ & UNDERSTOOD\n"
                          "\n"
                          "There have been many possibilities for making mistakes in the \n"
                          "last versions of this tool. And many of them could have been \n"
                          "solved by reading this document. So please read this\n"
                          "- before you try to edit ;-)");
}

QString readFirstText() {
    return QStringLiteral(
        "WELCOME\n"
        "=======\n"
        "Thank you for using Skarvel, the editor for the ships and game values of\n"
        "Freelancer. This text takes two minutes to read and can save you hours.\n"
        "\n"
        "MAKE A BACKUP FIRST\n"
        "===================\n"
        "Before you change anything, back up the \\data folder of your game:\n"
        "create a new folder somewhere and copy all .ini files of \\data\n"
        "(with their sub folders) into it. This tool does NOT do that for you.\n"
        "\n"
        "VIRUS SCANNER\n"
        "=============\n"
        "Some virus scanners have caused errors while this tool unpacked and\n"
        "rewrote the game's files. If you see strange errors or the start hangs,\n"
        "switch your virus scanner off while you edit.\n"
        "\n"
        "FLMM\n"
        "====\n"
        "Never change the data files with this editor while the mod manager FLMM\n"
        "works on them (mods activated). Deactivate your mods in FLMM first, edit,\n"
        "and activate them again afterwards.\n"
        "\n"
        "WHAT THIS TOOL DOES:\n"
        "====================\n"
        "- It unpacks the compressed data files of the game into plain text.\n"
        "- It lets you change values without editing the files by hand.\n"
        "- It writes the unpacked, changed files back in place.\n"
        "- It keeps a copy of every changed file under \\data in its own folder,\n"
        "  so that you can copy that tree over the data folder of another\n"
        "  installation.\n"
        "\n"
        "WHAT THIS TOOL DOESNT:\n"
        "======================\n"
        "- It makes no backup of the game's files as it found them.\n"
        "- It does not check the values you enter: a silly value gives a silly game.\n"
        "- It does not export your changes in the format of FLMM.\n"
        "\n"
        "HOW TO USE:\n"
        "===========\n"
        "1. Read this text and press READ & UNDERSTOOD.\n"
        "2. Press the open button, the second button of the tool bar.\n"
        "   The same button reloads the values from the game's files.\n"
        "3. Choose a page in the menu and a ship in the list, and edit the values.\n"
        "4. Save before you leave a ship: changes are discarded when you choose\n"
        "   another ship without saving.\n"
        "5. Close the program and play.\n"
        "\n"
        "ERRORS and SOLUTIONS:\n"
        "=====================\n"
        "- Put the tool into a folder of its own.\n"
        "- The converter \"Bini.exe\" (here: bini) and \"Resources.ini\"\n"
        "  (resource.ini) must lie in that folder; Skarvel ships its own\n"
        "  converter bini there.\n"
        "- Neither that folder nor the game's data files may be write-protected.\n"
        "- On Linux the game is found in its Wine prefix ($WINEPREFIX, or ~/.wine\n"
        "  when it is not set). If it is not found, choose the game's folder\n"
        "  under OPTIONS.\n"
        "- Read the dialogs shown at start; they tell you what is missing.\n"
        "- Virus scanners can make the start hang (see above).\n"
        "- Never edit while FLMM works on the files (see above).\n"
        "- To report an error, write down when it happens and what you did, and\n"
        "  send it together with the journal file of that day,\n"
        "  DebugOut_yyyy-mm-dd.mjf, which lies in the program's folder.\n"
        "\n"
        "FINALY\n"
        "======\n"
        "Have fun flying your tuned ships! Comments and ideas are welcome at\n"
        "skarvel@example.org. The newest version is offered at start when the\n"
        "update check is on, and can always be found at\n"
        "https://skarvel.example.org/\n");
}

void setupMainWindowLayout(Ui::TformSkarvel& ui, QMainWindow& window) {
    setIcons(ui, window);
    styleGroupTitles(window);
    styleHeadings(ui);
    bindSpinners(ui);
    fillConstantsTables(ui);

    setCentredText(*ui.MemoReadMe, readMeText());
    setCentredText(*ui.memoReadFirst, readFirstText());

    QFont bold = ui.pcMain->tabBar()->font();
    bold.setBold(true);
    ui.pcMain->tabBar()->setFont(bold);
    styleMenuTree(*ui.tvMenu);
    styleHintArea(*ui.memoHint);

    ui.StatusBAr->showMessage(QString::fromUtf8(designStatusText));

    ui.Splitter3->setSizes({menuTreeHeight, window.height()});
    ui.Splitter1->setSizes({leftColumnWidth, window.width() - leftColumnWidth});
    ui.splitHorizont->setSizes({window.height() - hintAreaHeight, hintAreaHeight});
    ui.Splitter1->setStretchFactor(0, 0);
    ui.Splitter1->setStretchFactor(1, 1);
    ui.splitHorizont->setStretchFactor(0, 1);
    ui.splitHorizont->setStretchFactor(1, 0);
    ui.Splitter3->setStretchFactor(0, 0);
    ui.Splitter3->setStretchFactor(1, 1);
}

} // namespace skarvel

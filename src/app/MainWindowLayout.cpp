#include "app/MainWindowLayout.h"

#include "Version.h"
#include "app/Contact.h"
#include "app/UpDown.h"
#include "ships/ConstantsTables.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <algorithm>
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

// The longest values of real files: six digits with six decimals, alone or three in a list,
// and hardpoint names.
constexpr QLatin1String widestNumber("123456.123456");
constexpr QLatin1String widestNumberList("123456.123456, 123456.123456, 123456.123456");
constexpr QLatin1String widestHardpoint("HpTorpedo01");

const char* const designStatusText = "  :: Skarvel Version 0.5.1 build 90";

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

// The width of a line edit whose text area shows text whole, in its own font and style.
int lineEditWidthFor(const QLineEdit& field, const QString& text) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
    const QMargins margins = field.textMargins();
    // A line edit keeps two pixels beside its text on either side, and one for the cursor.
    const int contents =
        field.fontMetrics().horizontalAdvance(text) + 2 * 2 + 1 + margins.left() + margins.right();
    const QSize size(contents, field.sizeHint().height());
    return field.style()->sizeFromContents(QStyle::CT_LineEdit, &option, size, &field).width();
}

int comboWidthFor(const QComboBox& list, const QString& text) {
    QStyleOptionComboBox option;
    option.initFrom(&list);
    const QSize size(list.fontMetrics().horizontalAdvance(text), list.fontMetrics().height());
    return list.style()->sizeFromContents(QStyle::CT_ComboBox, &option, size, &list).width();
}

// Fields of a fixed design width grow, never shrink, to show the longest values whole.
void sizeValueFields(Ui::TformSkarvel& ui) {
    const std::initializer_list<QLineEdit*> numbers = {ui.edPanzerung,
                                                       ui.edNanobot,
                                                       ui.edShield,
                                                       ui.edMasse,
                                                       ui.edHoldsize,
                                                       ui.edShipLevel,
                                                       ui.edPowerMasse,
                                                       ui.edPowerCapacity,
                                                       ui.edPowerRegen,
                                                       ui.edThrusterCapacity,
                                                       ui.edThrusterChargeRate,
                                                       ui.edTrafePowerUsage,
                                                       ui.edEngineSpeed,
                                                       ui.edCruisePowerUsage,
                                                       ui.edCruiseChargeTime,
                                                       ui.edReverseSpeed,
                                                       ui.edReverseFraction,
                                                       ui.edEngineLinearDrag,
                                                       ui.edEngineMaxForce,
                                                       ui.edTractorRange,
                                                       ui.edTractorSpeed,
                                                       ui.edScanRange,
                                                       ui.edCargoScanRange,
                                                       ui.edMAxBankAngel,
                                                       ui.edLinearDrag,
                                                       ui.edCameraAngularAccel,
                                                       ui.edCameraHorTurnAngle,
                                                       ui.edVerUpTurnAngle,
                                                       ui.edVerDownTurnAngle,
                                                       ui.edShipPrice,
                                                       ui.edMaxSpeed,
                                                       ui.edTradeLaneSpeed,
                                                       ui.edCruiseSpeed,
                                                       ui.edCruiseDisruptTime,
                                                       ui.edMaxLootPerAstroid,
                                                       ui.edHullUnitsPerItem,
                                                       ui.edShieldUnitsPerItem};
    const std::initializer_list<QLineEdit*> lists = {ui.edSteeringTorque, ui.edRotationInertia,
                                                     ui.edAngularDrag, ui.edCameraOffset};
    for (QLineEdit* field : numbers) {
        field->setFixedWidth(
            std::max(field->minimumWidth(), lineEditWidthFor(*field, widestNumber)));
    }
    for (QLineEdit* field : lists) {
        field->setFixedWidth(
            std::max(field->minimumWidth(), lineEditWidthFor(*field, widestNumberList)));
    }
    // The list's popup is as wide as its longest item already (QComboBox's own rule).
    for (QComboBox* list : {ui.cbWeaponHP, ui.cbTurretHP, ui.cbShieldTyp}) {
        list->setMinimumWidth(
            std::max(list->minimumWidth(), comboWidthFor(*list, widestHardpoint)));
    }
}

void fillConstantsTable(QTableWidget& table, const ConstantsTable& section) {
    table.setColumnCount(2);
    table.setHorizontalHeaderLabels(
        {QString::fromLatin1(section.section.data(),
                             static_cast<qsizetype>(section.section.size())),
         QStringLiteral("Value")});
    table.setRowCount(static_cast<int>(section.keys.size()));
    int row = 0;
    for (std::string_view key : section.keys) {
        auto* keyItem = new QTableWidgetItem(
            QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())));
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
    const std::initializer_list<QTableWidget*> tables = {
        ui.ValueListEditor1, ui.ValueListEditor2, ui.ValueListEditor3, ui.ValueListEditor4,
        ui.ValueListEditor5, ui.ValueListEditor6, ui.ValueListEditor7};
    auto section = constantsTables().begin();
    for (QTableWidget* table : tables) {
        fillConstantsTable(*table, *section++);
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
    // A closed folder: the set is put away, the window stays.
    ui.btCloseSet->setIcon(window.style()->standardIcon(QStyle::SP_DirClosedIcon));
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

QString readFirstText(const OwnFolders& folders) {
    const QString copies =
        folders.inProgramFolder
            ? QStringLiteral(
                  "- It keeps a copy of every changed file under \\data in its own folder,\n"
                  "  so that you can copy that tree over the data folder of another\n"
                  "  installation.\n")
            : QStringLiteral("- It keeps a copy of every changed file under\n  %1data/\n"
                             "  (its own folder cannot be written), so that you can copy that\n"
                             "  tree over the data folder of another installation.\n")
                  .arg(QString::fromStdString(folders.copiesBase));
    const QString writable =
        folders.inProgramFolder
            ? QStringLiteral(
                  "- Neither that folder nor the game's data files may be write-protected.\n")
            : QStringLiteral("- The game's data files may not be write-protected.\n");
    const QString journal =
        folders.inProgramFolder
            ? QStringLiteral("  DebugOut_yyyy-mm-dd.mjf, which lies in the program's folder.\n")
            : QStringLiteral("  DebugOut_yyyy-mm-dd.mjf, which lies in\n  %1\n")
                  .arg(QString::fromStdString(folders.journal));
    const QString text = QStringLiteral(
        "WELCOME\n"
        "=======\n"
        "Thank you for using Skarvel, the editor for the ships and game values of\n"
        "Freelancer. This text takes two minutes to read and can save you hours.\n"
        "\n"
        "BACKUPS\n"
        "=======\n"
        "Skarvel backs up the six files it edits before it first changes them:\n"
        "at the first open, before every save and before every restore. The\n"
        "backups lie in\n"
        "  %4\n"
        "and the BACKUP page lists them and restores any of them. It keeps every\n"
        "backup of the last day, the newest of each day for 30 days (BackupDays),\n"
        "then the newest of each month, and always the very first one, the game\n"
        "as Skarvel found it.\n"
        "A copy of your whole \\data folder of your own is still a good idea.\n"
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
        "THE GAME AND OTHER EDITORS\n"
        "==========================\n"
        "While the files are open, Skarvel numbers the repeated sections ([Ship0],\n"
        "[Ship1], ...), and the game cannot read them until you close the data set\n"
        "(the closed folder on the tool bar) or the program. With \"Keep the game's\n"
        "files playable while they are open\" on the OPTIONS page, the numbers stay\n"
        "in memory and the game can read the files at any moment. What a text\n"
        "editor or git changes in the files is noticed and shown.\n"
        "\n"
        "WHAT THIS TOOL DOES:\n"
        "====================\n"
        "- It unpacks the compressed data files of the game into plain text.\n"
        "- It lets you change values without editing the files by hand.\n"
        "- It writes the unpacked, changed files back in place.\n"
        "%1"
        "\n"
        "WHAT THIS TOOL DOESNT:\n"
        "======================\n"
        "- It backs up only the six files it edits, not the rest of \\data.\n"
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
        "%2"
        "- On Linux the game is found in its Wine prefix ($WINEPREFIX, or ~/.wine\n"
        "  when it is not set). If it is not found, choose the game's folder\n"
        "  under OPTIONS.\n"
        "- No game was found? To try Skarvel on a demo game, start it with:\n"
        "  skarvel --demo\n"
        "- Read the dialogs shown at start; they tell you what is missing.\n"
        "- Virus scanners can make the start hang (see above).\n"
        "- Never edit while FLMM works on the files (see above).\n"
        "- To report an error, write down when it happens and what you did, and\n"
        "  send it together with the journal file of that day,\n"
        "%3"
        "\n"
        "FINALY\n"
        "======\n"
        "Have fun flying your tuned ships!%5 The newest version is offered at start when the\n"
        "update check is on, and can always be found at\n" SKARVEL_HOME_PAGE "\n");
    return text.arg(
        copies, writable, journal, QString::fromStdString(userBackupsFolder()),
        QString::fromStdString(contactText(" Comments and ideas are welcome at\n", ".")));
}

void setupMainWindowLayout(Ui::TformSkarvel& ui, QMainWindow& window, const OwnFolders& folders) {
    setIcons(ui, window);
    styleGroupTitles(window);
    styleHeadings(ui);
    bindSpinners(ui);
    sizeValueFields(ui);
    fillConstantsTables(ui);

    setCentredText(*ui.MemoReadMe, readMeText());
    setCentredText(*ui.memoReadFirst, readFirstText(folders));

    QFont bold = ui.pcMain->tabBar()->font();
    bold.setBold(true);
    ui.pcMain->tabBar()->setFont(bold);
    styleMenuTree(*ui.tvMenu);
    styleHintArea(*ui.memoHint);

    ui.StatusBAr->showMessage(QString::fromUtf8(designStatusText) +
                              QString::fromStdString(statusBarContact()));

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

#include "app/QtDialogs.h"

#include "app/ReviewDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace skarvel {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString fromPath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The captions Windows gives the five sorts of message box.
QString captionOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Confirmation:
        return QStringLiteral("Confirm");
    case MessageKind::Warning:
        return QStringLiteral("Warning");
    case MessageKind::Error:
        return QStringLiteral("Error");
    case MessageKind::Information:
        return QStringLiteral("Information");
    case MessageKind::Plain:
        break;
    }
    return QApplication::applicationName();
}

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer answerOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::No;
    }
}

Answer showBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
               std::string_view text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, messageText(text), buttons, owner);
    // Windows message boxes start on their first button (Yes or OK).
    box.setDefaultButton(buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
    return answerOf(box.exec());
}

std::optional<std::string> runFileDialog(QWidget* owner, const FileDialogOptions& options,
                                         QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, fromUtf8(options.title), fromPath(options.initialFolder));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    const QStringList filters = nameFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!options.fileName.empty()) {
        dialog.selectFile(fromPath(options.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return toPath(dialog.selectedFiles().constFirst());
}

} // namespace

QString messageText(std::string_view text) {
    QString shown = fromUtf8(text);
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QStringList nameFilters(std::string_view filter) {
    const QStringList parts = fromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QtDialogs::QtDialogs(QWidget* owner) : owner_(owner) {}

bool QtDialogs::declined() const {
    if (ended_ && !quiet_) {
        throw CommandEnded{};
    }
    return ended_;
}

Answer QtDialogs::message(MessageKind kind, std::string_view text) {
    const bool asks = kind == MessageKind::Confirmation || kind == MessageKind::Warning;
    if (declined()) {
        return asks ? Answer::No : Answer::Ok;
    }
    const Answer answer = showBox(owner_, iconOf(kind), captionOf(kind), text,
                                  asks ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    declined(); // a box closed by the ending answers nothing
    return answer;
}

Answer QtDialogs::askInformation(std::string_view text) {
    if (declined()) {
        return Answer::No;
    }
    const Answer answer =
        showBox(owner_, QMessageBox::Information, captionOf(MessageKind::Information), text,
                QMessageBox::Yes | QMessageBox::No);
    declined();
    return answer;
}

Answer QtDialogs::askYesNoCancel(std::string_view text) {
    if (declined()) {
        return Answer::Cancel;
    }
    const Answer answer =
        showBox(owner_, QMessageBox::Question, captionOf(MessageKind::Confirmation), text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    declined();
    return answer;
}

Answer QtDialogs::warningOk(std::string_view text) {
    if (declined()) {
        return Answer::Ok;
    }
    const Answer answer = showBox(owner_, QMessageBox::Warning, captionOf(MessageKind::Warning),
                                  text, QMessageBox::Ok);
    declined();
    return answer;
}

std::size_t QtDialogs::choose(MessageKind kind, std::string_view text,
                              const std::vector<std::string>& buttons) {
    QMessageBox box(iconOf(kind), captionOf(kind), messageText(text), QMessageBox::NoButton,
                    owner_);
    std::vector<QPushButton*> added;
    for (const std::string& caption : buttons) {
        added.push_back(box.addButton(fromUtf8(caption), QMessageBox::ActionRole));
    }
    if (!added.empty()) {
        box.setDefaultButton(added.front());
        box.setEscapeButton(added.back());
    }
    box.exec();
    const auto pressed = std::find(added.begin(), added.end(), box.clickedButton());
    return pressed == added.end() ? buttons.size() - 1
                                  : static_cast<std::size_t>(pressed - added.begin());
}

ReviewAnswer QtDialogs::review(std::string_view caption, std::string_view text,
                               bool offerDontShowAgain) {
    if (declined()) {
        return {};
    }
    ReviewDialog dialog(owner_, fromUtf8(caption), fromUtf8(text), offerDontShowAgain);
    const bool save = dialog.exec() == QDialog::Accepted;
    declined();
    return {save, save && dialog.dontShowAgain()};
}

std::string QtDialogs::pickFolder(std::string_view instruction, std::string_view startFolder) {
    if (declined()) {
        return std::string(startFolder);
    }
    const QString chosen =
        QFileDialog::getExistingDirectory(owner_, fromUtf8(instruction), fromPath(startFolder));
    declined();
    return chosen.isEmpty() ? std::string(startFolder) : toPath(chosen);
}

std::optional<std::string> QtDialogs::openFile(const FileDialogOptions& options) {
    if (declined()) {
        return std::nullopt;
    }
    auto chosen = runFileDialog(owner_, options, QFileDialog::AcceptOpen);
    declined();
    return chosen;
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogOptions& options) {
    if (declined()) {
        return std::nullopt;
    }
    auto chosen = runFileDialog(owner_, options, QFileDialog::AcceptSave);
    declined();
    return chosen;
}

} // namespace skarvel

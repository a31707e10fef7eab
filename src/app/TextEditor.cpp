#include "app/TextEditor.h"

#include "check/TextEditorCommand.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace skarvel {

void openInTextEditor(const std::string& path, int line) {
    const std::vector<std::string> command =
        check::textEditorCommand(qEnvironmentVariable("VISUAL").toStdString(),
                                 qEnvironmentVariable("EDITOR").toStdString(), path, line);
    if (!command.empty()) {
        QStringList arguments;
        for (std::size_t i = 1; i < command.size(); ++i) {
            arguments << QString::fromStdString(command[i]);
        }
        if (QProcess::startDetached(QString::fromStdString(command.front()), arguments)) {
            return;
        }
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace skarvel

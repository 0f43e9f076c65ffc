#include "platform/qt/qt_file_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {

QStringList QtFileDialogs::NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
        }
        if (patterns.isEmpty()) continue;
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

void QtFileDialogs::Configure(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QString::fromStdString(request.title));
    if (request.mode == FileDialogMode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The file is replaced without a question, as the program expects.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // Any typed name comes back, existing or not: the program, not the dialog, tells the
        // user that a file does not exist.
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    // The type box shows each description as the program wrote it; the patterns Qt needs
    // stay out of sight.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    // Patterns are written in capitals ("*.JPG") and must match "photo.jpg" as well.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!request.fileName.empty()) {
        const QFileInfo start(QString::fromStdString(request.fileName));
        if (start.absoluteDir().exists()) dialog.setDirectory(start.absoluteDir());
        dialog.selectFile(start.fileName());
    }
}

std::optional<std::string> QtFileDialogs::Show(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    Configure(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace platform

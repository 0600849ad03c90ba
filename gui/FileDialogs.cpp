#include "FileDialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileInfo>
#include <QLineEdit>

namespace velkor {

FileDialog::FileDialog(QWidget* parent, const QString& title) : QFileDialog(parent) {
    setWindowTitle(title);
    setNameFilters({});
    setDefaultSuffix({});
    setViewMode(QFileDialog::List);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
}

std::optional<QString> FileDialog::Run() {
    // Checked after the dialog has closed: a desktop's own dialog cannot be
    // kept open by a refusal.
    while (exec() == QDialog::Accepted && !selectedFiles().isEmpty()) {
        const QString chosen = selectedFiles().first();
        if (Acceptable(chosen)) {
            return chosen;
        }
        selectFile(chosen);
    }
    return std::nullopt;
}

void FileDialog::done(int result) {
    for (const auto* completer : findChildren<QCompleter*>()) {
        if (completer->popup() != nullptr) {
            completer->popup()->hide();
        }
    }
    QFileDialog::done(result);
}

void ClearFileName(QFileDialog& dialog) {
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->clear();
    }
    for (auto* view : dialog.findChildren<QAbstractItemView*>()) {
        view->clearSelection();
    }
}

SaveFileDialog::SaveFileDialog(Host& host, QWidget* parent)
    : FileDialog(parent, QStringLiteral("Save to file")), host_(host) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The overwrite question is asked by Acceptable, with the other two.
    setOption(QFileDialog::DontConfirmOverwrite, true);
}

bool SaveFileDialog::Acceptable(const QString& fileName) {
    const QFileInfo info(fileName);
    const std::string name = info.fileName().toStdString();
    if (info.isDir()) {
        return true;  // the dialog opens the folder
    }
    if (!QFileInfo(info.absolutePath()).isDir()) {
        host_.ShowMessage(MessageKind::Warning, Buttons::Ok,
                          name + "\rThe folder does not exist.\rCheck the path.");
        return false;
    }
    if (info.exists()) {
        if (!info.isWritable()) {
            host_.ShowMessage(MessageKind::Warning, Buttons::Ok,
                              name + "\rThis file is write-protected.\rChoose another name.");
            return false;
        }
        return host_.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                                 name + " already exists.\rDo you want to replace it?") ==
               Answer::Yes;
    }
    return host_.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                             name + "\rThis file does not exist.\rDo you want to create it?") ==
           Answer::Yes;
}

}  // namespace velkor

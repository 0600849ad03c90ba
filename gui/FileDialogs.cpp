#include "FileDialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>

#include "SaveTarget.h"

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

SaveFileDialog::SaveFileDialog(Host& host, FileSystem& files, QWidget* parent)
    : FileDialog(parent, QStringLiteral("Save to file")), host_(host), files_(files) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The overwrite question is asked by Acceptable, with the other two.
    setOption(QFileDialog::DontConfirmOverwrite, true);
}

bool SaveFileDialog::Acceptable(const QString& fileName) {
    const std::string path = fileName.toStdString();
    const std::string name = FileNamePart(path);
    switch (ClassifySaveTarget(files_, path)) {
        case SaveTarget::Folder:
            return true;  // the dialog opens the folder
        case SaveTarget::MissingFolder:
            host_.ShowMessage(MessageKind::Warning, Buttons::Ok,
                              name + "\rThe folder does not exist.\rCheck the path.");
            return false;
        case SaveTarget::WriteProtected:
            host_.ShowMessage(MessageKind::Warning, Buttons::Ok,
                              name + "\rThis file is write-protected.\rChoose another name.");
            return false;
        case SaveTarget::Existing:
            return host_.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                                     name + " already exists.\rDo you want to replace it?") ==
                   Answer::Yes;
        case SaveTarget::New:
            break;
    }
    return host_.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                             name + "\rThis file does not exist.\rDo you want to create it?") ==
           Answer::Yes;
}

}  // namespace velkor

#include "FileDialogs.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLineEdit>

namespace velkor {

namespace {

void SetUpCommon(QFileDialog& dialog, const QString& title) {
    dialog.setWindowTitle(title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters({});
    dialog.setDefaultSuffix({});
    dialog.setViewMode(QFileDialog::List);
}

}  // namespace

void SetUpOpenDialog(QFileDialog& dialog) {
    SetUpCommon(dialog, QStringLiteral("Open file"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
}

void ClearFileName(QFileDialog& dialog) {
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->clear();
    }
    for (auto* view : dialog.findChildren<QAbstractItemView*>()) {
        view->clearSelection();
    }
}

SaveFileDialog::SaveFileDialog(Host& host, QWidget* parent) : QFileDialog(parent), host_(host) {
    SetUpCommon(*this, QStringLiteral("Save to file"));
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

void SaveFileDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (chosen.size() == 1 && !Acceptable(chosen.first())) {
        return;
    }
    QFileDialog::accept();
}

}  // namespace velkor

#pragma once

#include <QFileDialog>
#include <optional>

#include "FileSystem.h"
#include "Host.h"

namespace velkor {

// "Open file": existing files in existing folders only. The desktop's own
// dialog where the platform offers one, Qt's otherwise.
class FileDialog : public QFileDialog {
  public:
    explicit FileDialog(QWidget* parent, const QString& title = QStringLiteral("Open file"));

    // Runs the dialog until it is cancelled or gives an acceptable name.
    std::optional<QString> Run();
    // Whether the chosen name may be returned; may ask and tell the user.
    virtual bool Acceptable(const QString& /*fileName*/) { return true; }

  protected:
    // Closes the name completer's popup with the dialog: left open, it would
    // keep taking the keys meant for the window beneath.
    void done(int result) override;
};

// Empties the file name the dialog holds, so that it opens with none the next
// time. QFileDialog::selectFile ignores an empty name, so the name field and
// the selection are cleared themselves.
void ClearFileName(QFileDialog& dialog);

// "Save to file": asks before overwriting an existing file and before creating
// a new one, refuses write-protected files and folders that do not exist. Its
// questions and notices go through the host, as every other message does; a
// refused name opens the dialog again.
class SaveFileDialog : public FileDialog {
  public:
    SaveFileDialog(Host& host, FileSystem& files, QWidget* parent);

    bool Acceptable(const QString& fileName) override;

  private:
    Host& host_;
    FileSystem& files_;
};

}  // namespace velkor

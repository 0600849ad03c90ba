#pragma once

#include <QFileDialog>

#include "Host.h"

namespace velkor {

// "Open file": existing files in existing folders only; Qt's own dialog, so
// that it looks and behaves the same on every desktop.
void SetUpOpenDialog(QFileDialog& dialog);

// Empties the file name the dialog holds, so that it opens with none the next
// time. QFileDialog::selectFile ignores an empty name, so the name field and
// the selection are cleared themselves.
void ClearFileName(QFileDialog& dialog);

// "Save to file": asks before overwriting an existing file and before creating
// a new one, refuses write-protected files and folders that do not exist. Its
// questions and notices go through the host, as every other message does.
class SaveFileDialog : public QFileDialog {
  public:
    SaveFileDialog(Host& host, QWidget* parent);

    // Whether the chosen name may be returned; asks and tells the user on the way.
    bool Acceptable(const QString& fileName);

  public slots:
    void accept() override;

  private:
    Host& host_;
};

}  // namespace velkor

#pragma once
// Folders and MP3 files dropped on the main window from a file manager: a folder opens as
// the change-directory window opens it, MP3 files open their folder with their rows selected.
// Anything else is refused while it is dragged, so the pointer shows that it cannot drop.

#include <QObject>

#include <string>
#include <vector>

class QMimeData;

namespace veltrane {

class TMainForm;

class TDropOpener : public QObject {
    Q_OBJECT
  public:
    // Takes the drops of Form's window; a child of Form.
    explicit TDropOpener(TMainForm& Form);

    // The local paths of a drag's URLs, as bytes; empty when one of them is no local file.
    static std::vector<std::string> LocalPaths(const QMimeData* Data);

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    TMainForm& form_;
};

} // namespace veltrane

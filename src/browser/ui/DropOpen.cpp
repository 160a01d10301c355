#include "browser/ui/DropOpen.h"

#include "browser/OpenRequest.h"
#include "browser/ui/main.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace veltrane {

TDropOpener::TDropOpener(TMainForm& Form) : QObject(&Form), form_(Form) {
    form_.setAcceptDrops(true);
    form_.installEventFilter(this);
}

std::vector<std::string> TDropOpener::LocalPaths(const QMimeData* Data) {
    std::vector<std::string> paths;
    if (!Data || !Data->hasUrls())
        return paths;
    for (const QUrl& url : Data->urls()) {
        if (!url.isLocalFile())
            return {};
        // Decoded from the URL's own percent escapes: a name that is not UTF-8 keeps its bytes.
        const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (path.isEmpty() || path.contains('\0'))
            return {};
        paths.push_back(path.toStdString());
    }
    return paths;
}

bool TDropOpener::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != &form_)
        return false;
    switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(Event);
        if (CanOpenAll(LocalPaths(drag->mimeData()), form_.StartDir))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(Event);
        std::vector<std::string> paths = LocalPaths(drop->mimeData());
        if (!CanOpenAll(paths, form_.StartDir)) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // The search runs after the drop is answered, so the file manager does not wait on it.
        QTimer::singleShot(0, &form_, [this, paths = std::move(paths)] { form_.OpenPaths(paths); });
        return true;
    }
    default:
        return false;
    }
}

// --- TMainForm's side: shared by the command line and drops. --------------------------------

void TMainForm::OpenPaths(const std::vector<std::string>& Paths) {
    const std::string startDir =
        !StartDir.empty() ? StartDir : services_.StartDirectory;
    const TOpenRequest request = MakeOpenRequest(Paths, startDir);
    CommandLineFiles = request.Select;
    openNotice_ = OpenRequestMessage(request);
    if (request.Directory.empty()) {
        CommandLineFiles.clear();
        // Nothing to list: the notice comes once the window is up.
        QTimer::singleShot(0, this, [this] {
            const std::string notice = std::move(openNotice_);
            openNotice_.clear();
            if (!notice.empty())
                ReportError(notice);
        });
        return;
    }
    if (!shown_) {
        CommandLineDir = request.Directory; // FormShow opens it
        return;
    }
    if (request.Directory == CurrentDirectory())
        RunSearch(); // the same folder listed afresh, with the rows chosen
    else
        ChangeDirectory(request.Directory);
}

} // namespace veltrane

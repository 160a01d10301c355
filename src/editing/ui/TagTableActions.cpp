#include "editing/ui/TagTableActions.h"

#include "editing/CodePageCheck.h"
#include "editing/TagTable.h"
#include "editing/ui/EditingDialog.h"
#include "editing/ui/PreviewChanges.h"
#include "tagcore/InOutError.h"
#include "tagcore/UiText.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenu>

namespace veltrane {

TTagTableActions::TTagTableActions(IEditingHost& Host, QMenu* Menu, QAction* After,
                                   QWidget* Window)
    : QObject(Window), host_(Host), window_(Window) {
    ExportTags = new QAction(tr("Export tags..."), this);
    ExportTags->setObjectName("Exporttags");
    ImportTags = new QAction(tr("Import tags..."), this);
    ImportTags->setObjectName("Importtags");
    QAction* before = nullptr;
    const QList<QAction*> actions = Menu->actions();
    const qsizetype at = After ? actions.indexOf(After) : -1;
    if (at >= 0 && at + 1 < actions.size())
        before = actions[at + 1];
    Menu->insertAction(before, ExportTags);
    Menu->insertAction(before, ImportTags);
    connect(ExportTags, &QAction::triggered, this, &TTagTableActions::ExportTagsClick);
    connect(ImportTags, &QAction::triggered, this, &TTagTableActions::ImportTagsClick);
    Preview = new TFormPreviewChanges(Window);
}

std::string TTagTableActions::Pick(bool Save) {
    if (PickFile)
        return PickFile(Save);
    const QString filter = tr("Tag tables (*.csv *.tsv);;All files (*)");
    const QString name =
        Save ? QFileDialog::getSaveFileName(window_, tr("Export tags"), QString(), filter)
             : QFileDialog::getOpenFileName(window_, tr("Import tags"), QString(), filter);
    return name.isEmpty() ? std::string() : QFile::encodeName(name).toStdString();
}

void TTagTableActions::ExportTagsClick() {
    const std::vector<std::string> paths = ExportedPaths(host_.FileList());
    if (paths.empty())
        return;
    std::string file = Pick(true);
    if (file.empty())
        return;
    // The dialog's first filter is CSV: a name typed without extension gets ".csv".
    if (file.find('.', file.rfind('/') + 1) == std::string::npos)
        file += ".csv";
    try {
        const TFileFailures failures = SaveTagTableFile(file, paths, host_.ProgressWindow(),
                                                            host_.FileList().Codec());
        if (!failures.empty())
            host_.ShowError(
                FailureReport(tr("These files could not be read:").toStdString(), failures));
    } catch (const EInOutError& e) {
        host_.ShowError(FillText(UiText("veltrane::TTagTableActions", "Cannot write %1: %2"),
                                 {file, e.what()}));
    }
}

void TTagTableActions::ImportTagsClick() {
    const std::string file = Pick(false);
    if (file.empty())
        return;
    TImportPlan plan;
    try {
        plan = PlanTagImportFile(file, host_.FileList().Codec());
    } catch (const EInOutError& e) {
        host_.ShowError(
            FillText(UiText("veltrane::TTagTableActions", "Cannot read %1: %2"), {file, e.what()}));
        return;
    } catch (const std::exception& e) {
        host_.ShowError(FillText(UiText("veltrane::TTagTableActions", "%1: %2; nothing imported."),
                                 {file, e.what()}));
        return;
    }
    for (const std::string& warning : plan.Warnings)
        plan.Preview.push_back({"", "", "", "", warning, TPreviewState::psWarning});
    const bool previewed = PreviewWanted(host_.SettingsFileName(), kKeyPreviewImportTags);
    if (!PreviewBeforeStep(*Preview, host_, kKeyPreviewImportTags, tr("Import tags"),
                           [&] { return plan.Preview; }))
        return;
    TFileFailures failures;
    TRunNotes notes;
    host_.SetLockDisplay(true);
    try {
        failures = TagImportRun(host_.FileList(), plan, host_.ProgressWindow(), &notes);
    } catch (const std::exception& e) {
        host_.SetLockDisplay(false);
        host_.ListChanged();
        host_.ShowError(e.what());
        return;
    }
    host_.SetLockDisplay(false);
    host_.ListChanged();
    if (!failures.empty())
        host_.ShowError(
            FailureReport(tr("These files could not be changed:").toStdString(), failures));
    for (const std::string& message : notes.Messages())
        host_.ShowError(message);
    // Without the preview these were seen nowhere.
    if (!previewed) {
        std::string skipped;
        for (const std::string& text : plan.Warnings)
            skipped += "\n" + text;
        for (const std::string& text : plan.BadRows)
            skipped += "\n" + text;
        if (!skipped.empty())
            host_.ShowError(file + ":" + skipped);
    }
}

} // namespace veltrane

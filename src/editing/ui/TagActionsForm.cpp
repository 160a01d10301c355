#include "editing/ui/TagActionsForm.h"

#include "editing/ui/PreviewChanges.h"
#include "tagcore/UiText.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>

namespace veltrane {

namespace {

// The captions of the list's columns, in the order of kActionFields.
constexpr const char* kCaptions[] = {QT_TRANSLATE_NOOP("veltrane::TFormActions", "Song"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormActions", "Artist"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormActions", "Album"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormActions", "Year"),
                                     QT_TRANSLATE_NOOP("veltrane::TFormActions", "Comment")};
// The notes the actions' preview gives beside the shared ones.
[[maybe_unused]] const char* const kPreviewNotes[] = {
    QT_TRANSLATE_NOOP("ChangePreview", "cut to 30 bytes"),
    QT_TRANSLATE_NOOP("ChangePreview", "cut to 28 bytes"),
    QT_TRANSLATE_NOOP("ChangePreview", "cut to 4 bytes"),
    QT_TRANSLATE_NOOP("ChangePreview", "the pattern hit PCRE2's match limit, the file is left as it is"),
};
constexpr TCaseMode kModes[] = {TCaseMode::cmTitle, TCaseMode::cmUpper, TCaseMode::cmLower,
                                TCaseMode::cmSentence};

QLabel* ErrorLabel(QWidget* Page, int X, int Y, int W) {
    auto* label = new QLabel(Page);
    label->setGeometry(X, Y, W, 18);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xa0, 0x00, 0x00));
    label->setPalette(palette);
    return label;
}

QLabel* PageLabel(QWidget* Page, const QString& Text, int X, int Y, int W) {
    auto* label = new QLabel(Text, Page);
    label->setGeometry(X, Y, W, 21);
    return label;
}

} // namespace

std::string ActionsHeadline(std::size_t Selected) {
    return Selected == 1 ? UiText("veltrane::TFormActions", "acting on 1 file")
                         : FillText(UiText("veltrane::TFormActions", "acting on %1 files"),
                                    {std::to_string(Selected)});
}

TFormActions::TFormActions(IEditingHost& Host, QWidget* Parent)
    : TEditingDialog(tr("Actions"), 460, 290, true, Parent), host_(Host) {
    setObjectName("FormActions");
    LabelInfo = AddLabel(QString(), 8, 10, 444, 18);
    QFont bold = LabelInfo->font();
    bold.setBold(true);
    LabelInfo->setFont(bold);
    LabelInfo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    AddLabel(tr("Fields:"), 12, 36, 60, 20);
    // Each box as wide as its caption, so a long one ("Comment") is never cut at the edge.
    for (int i = 0, x = 72; i < 5; ++i) {
        auto* box = new QCheckBox(tr(kCaptions[i]), this);
        box->setObjectName(QStringLiteral("CheckBox") + QString::fromLatin1(kCaptions[i]));
        const int width = box->sizeHint().width();
        box->setGeometry(x, 36, width, 20);
        x += width + 6;
        box->setChecked(i == 0);
        CheckBoxField[i] = box;
    }
    LabelFieldsError = ErrorLabel(this, 72, 56, 380);
    LabelFieldsError->setObjectName("LabelFieldsError");

    PageControlActions = new QTabWidget(this);
    PageControlActions->setObjectName("PageControlActions");
    PageControlActions->setGeometry(8, 78, 444, 166);

    auto* caseSheet = new QWidget;
    caseSheet->setObjectName("TabSheetCase");
    PageLabel(caseSheet, tr("Change to"), 12, 16, 100);
    ComboBoxCaseMode = new QComboBox(caseSheet);
    ComboBoxCaseMode->setObjectName("ComboBoxCaseMode");
    ComboBoxCaseMode->addItems(
        {tr("Title Case"), tr("UPPER CASE"), tr("lower case"), tr("Sentence case")});
    ComboBoxCaseMode->setGeometry(116, 16, 200, 22);
    PageControlActions->addTab(caseSheet, tr("Case"));

    auto* replaceSheet = new QWidget;
    replaceSheet->setObjectName("TabSheetReplace");
    PageLabel(replaceSheet, tr("Find"), 12, 10, 100);
    EditFind = new QLineEdit(replaceSheet);
    EditFind->setObjectName("EditFind");
    EditFind->setGeometry(116, 10, 308, 21);
    LabelFindError = ErrorLabel(replaceSheet, 116, 32, 308);
    LabelFindError->setObjectName("LabelFindError");
    PageLabel(replaceSheet, tr("Replace with"), 12, 52, 100);
    EditReplaceWith = new QLineEdit(replaceSheet);
    EditReplaceWith->setObjectName("EditReplaceWith");
    EditReplaceWith->setGeometry(116, 52, 308, 21);
    LabelWithError = ErrorLabel(replaceSheet, 116, 74, 308);
    LabelWithError->setObjectName("LabelWithError");
    CheckBoxIgnoreCase = new QCheckBox(tr("Ignore case"), replaceSheet);
    CheckBoxIgnoreCase->setObjectName("CheckBoxIgnoreCase");
    CheckBoxIgnoreCase->setGeometry(116, 96, 150, 20);
    CheckBoxRegularExpression = new QCheckBox(tr("Regular expression"), replaceSheet);
    CheckBoxRegularExpression->setObjectName("CheckBoxRegularExpression");
    CheckBoxRegularExpression->setGeometry(270, 96, 160, 20);
    PageControlActions->addTab(replaceSheet, tr("Replace"));

    auto* formatSheet = new QWidget;
    formatSheet->setObjectName("TabSheetFormat");
    PageLabel(formatSheet, tr("Field"), 12, 10, 100);
    ComboBoxFormatField = new QComboBox(formatSheet);
    ComboBoxFormatField->setObjectName("ComboBoxFormatField");
    for (const char* caption : kCaptions)
        ComboBoxFormatField->addItem(tr(caption));
    ComboBoxFormatField->setGeometry(116, 10, 150, 22);
    PageLabel(formatSheet, tr("Pattern"), 12, 44, 100);
    EditPattern = new QLineEdit(formatSheet);
    EditPattern->setObjectName("EditPattern");
    EditPattern->setGeometry(116, 44, 308, 21);
    LabelPatternError = ErrorLabel(formatSheet, 116, 66, 308);
    LabelPatternError->setObjectName("LabelPatternError");
    auto* hint = new QLabel(
        tr("%title% %artist% %album% %year% %comment% %genre% %track% %file%; %% for %"),
        formatSheet);
    hint->setGeometry(12, 90, 416, 36);
    hint->setWordWrap(true);
    PageControlActions->addTab(formatSheet, tr("Format"));

    BitBtnApply = AddButton(tr("Apply"), "BitBtnApply", 284, 254, 80, 27);
    BitBtnCancel = AddButton(tr("Cancel"), "BitBtnCancel", 372, 254, 80, 27);
    SetDefaultButtons(BitBtnApply, BitBtnCancel);
    SetTabChain({CheckBoxField[0], CheckBoxField[1], CheckBoxField[2], CheckBoxField[3],
                 CheckBoxField[4], PageControlActions, ComboBoxCaseMode, EditFind,
                 EditReplaceWith, CheckBoxIgnoreCase, CheckBoxRegularExpression,
                 ComboBoxFormatField, EditPattern, BitBtnApply, BitBtnCancel});

    Preview = new TFormPreviewChanges(this);
    // Always shown before an action: there is no switch to keep.
    Preview->CheckBoxShowPreview->hide();

    for (QCheckBox* box : CheckBoxField)
        connect(box, &QCheckBox::toggled, this, &TFormActions::ControlsChange);
    for (QCheckBox* box : {CheckBoxIgnoreCase, CheckBoxRegularExpression})
        connect(box, &QCheckBox::toggled, this, &TFormActions::ControlsChange);
    for (QLineEdit* edit : {EditFind, EditReplaceWith, EditPattern})
        connect(edit, &QLineEdit::textChanged, this, &TFormActions::ControlsChange);
    connect(PageControlActions, &QTabWidget::currentChanged, this, &TFormActions::ControlsChange);
    connect(BitBtnApply, &QPushButton::clicked, this, &TFormActions::BitBtnApplyClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QWidget::hide);
    ControlsChange();
}

void TFormActions::FormShow() {
    LabelInfo->setText(ToQ(ActionsHeadline(SelectedFilePaths(host_.FileList()).size())));
    ControlsChange();
}

TActionSpec TFormActions::Spec() const {
    TActionSpec spec;
    const int page = PageControlActions->currentIndex();
    spec.Kind = page == 1 ? TActionKind::akReplace
                : page == 2 ? TActionKind::akFormat
                            : TActionKind::akCase;
    if (spec.Kind == TActionKind::akFormat) {
        spec.Fields = kActionFields[std::max(0, ComboBoxFormatField->currentIndex())];
    } else {
        for (int i = 0; i < 5; ++i)
            if (CheckBoxField[i]->isChecked())
                spec.Fields |= kActionFields[i];
    }
    spec.Mode = kModes[std::max(0, ComboBoxCaseMode->currentIndex())];
    spec.Find = FromQ(EditFind->text());
    spec.With = FromQ(EditReplaceWith->text());
    spec.IgnoreCase = CheckBoxIgnoreCase->isChecked();
    spec.Regex = CheckBoxRegularExpression->isChecked();
    spec.Pattern = FromQ(EditPattern->text());
    return spec;
}

std::optional<TTagAction> TFormActions::MakeAction() {
    for (QLabel* label : {LabelFieldsError, LabelFindError, LabelWithError, LabelPatternError})
        label->clear();
    const TActionSpec spec = Spec();
    try {
        return TTagAction(spec);
    } catch (const EActionSpec& e) {
        QLabel* at = e.Where == EActionSpec::wFields ? LabelFieldsError
                     : e.Where == EActionSpec::wFind  ? LabelFindError
                     : e.Where == EActionSpec::wWith  ? LabelWithError
                                                      : LabelPatternError;
        // An empty find box is not yet an error worth red text: Apply just waits for it.
        if (!(e.Where == EActionSpec::wFind && spec.Find.empty())) {
            at->setText(ToQ(e.what()));
            at->setToolTip(at->text());
        }
        return std::nullopt;
    }
}

void TFormActions::ControlsChange() {
    const bool format = PageControlActions->currentIndex() == 2;
    for (QCheckBox* box : CheckBoxField)
        box->setEnabled(!format);
    BitBtnApply->setEnabled(MakeAction().has_value());
}

void TFormActions::BitBtnApplyClick() {
    std::optional<TTagAction> action = MakeAction();
    BitBtnApply->setEnabled(action.has_value());
    if (!action || SelectedFilePaths(host_.FileList()).empty())
        return;
    TActionPlan plan;
    try {
        plan = TagActionPreviewRun(host_.FileList(), *action, host_.ProgressWindow());
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
        return;
    }
    Preview->SetRows(windowTitle() + QStringLiteral(": ") +
                         PageControlActions->tabText(PageControlActions->currentIndex()),
                     plan.Preview);
    if (Preview->exec() != QDialog::Accepted)
        return; // back to this window, nothing written
    TActionResult result;
    host_.SetLockDisplay(true);
    try {
        result = TagActionRun(host_.FileList(), plan, *action, host_.ProgressWindow());
    } catch (const std::exception& e) {
        host_.SetLockDisplay(false);
        host_.ListChanged();
        host_.ShowError(e.what());
        return;
    }
    host_.SetLockDisplay(false);
    host_.ListChanged();
    hide();
    if (!result.Failures.empty())
        host_.ShowError(
            FailureReport(tr("These files could not be changed:").toStdString(), result.Failures));
    for (const std::string& message : ActionReports(result))
        host_.ShowError(message);
}

void TFormActions::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    if (!Event->spontaneous())
        FormShow();
}

void AddActionsEntry(QMenu& Menu, IEditingHost& Host, QWidget* Parent) {
    QAction* action = Menu.addAction(TFormActions::tr("Actions..."));
    action->setObjectName("Actions");
    QObject::connect(action, &QAction::triggered, Parent, [&Host, Parent] {
        if (SelectedFilePaths(Host.FileList()).empty())
            return;
        OpenToolWindow<TFormActions>(*Parent, "FormActions", [&Host, Parent] { return new TFormActions(Host, Parent); });
    });
}

} // namespace veltrane

#include "editing/ui/PreviewChanges.h"

#include "browser/Settings.h"
#include "editing/ui/EditingDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace veltrane {

TFormPreviewChanges::TFormPreviewChanges(QWidget* Parent) : QDialog(Parent) {
    setObjectName("FormPreviewChanges");
    setModal(true);
    resize(900, 440);
    auto* layout = new QVBoxLayout(this);
    LabelCounts = new QLabel(this);
    LabelCounts->setObjectName("LabelCounts");
    QFont bold = LabelCounts->font();
    bold.setBold(true);
    LabelCounts->setFont(bold);
    layout->addWidget(LabelCounts);

    TableChanges = new QTableWidget(0, 5, this);
    TableChanges->setObjectName("TableChanges");
    TableChanges->setHorizontalHeaderLabels(
        {tr("File"), tr("Field"), tr("Old value"), tr("New value"), tr("Note")});
    TableChanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableChanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableChanges->verticalHeader()->setVisible(false);
    TableChanges->horizontalHeader()->setStretchLastSection(true);
    TableChanges->setWordWrap(false);
    // Long paths lose their middle, so the note (the reason for a red row) stays in view.
    TableChanges->setTextElideMode(Qt::ElideMiddle);
    TableChanges->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    layout->addWidget(TableChanges, 1);

    auto* buttons = new QHBoxLayout;
    CheckBoxShowPreview = new QCheckBox(tr("Show this preview"), this);
    CheckBoxShowPreview->setObjectName("CheckBoxShowPreview");
    CheckBoxShowPreview->setChecked(true);
    buttons->addWidget(CheckBoxShowPreview);
    buttons->addStretch(1);
    BitBtnApply = new QPushButton(tr("Apply"), this);
    BitBtnApply->setObjectName("BitBtnApply");
    BitBtnApply->setDefault(true);
    BitBtnCancel = new QPushButton(tr("Cancel"), this);
    BitBtnCancel->setObjectName("BitBtnCancel");
    buttons->addWidget(BitBtnApply);
    buttons->addWidget(BitBtnCancel);
    layout->addLayout(buttons);
    connect(BitBtnApply, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

namespace {

// The field names and the fixed notes the previews give; a note may join several with "; ",
// and a note with a number or a name in it stays as the logic wrote it.
[[maybe_unused]] const char* const kPreviewTexts[] = {
    QT_TRANSLATE_NOOP("ChangePreview", "title"),
    QT_TRANSLATE_NOOP("ChangePreview", "artist"),
    QT_TRANSLATE_NOOP("ChangePreview", "album"),
    QT_TRANSLATE_NOOP("ChangePreview", "year"),
    QT_TRANSLATE_NOOP("ChangePreview", "genre"),
    QT_TRANSLATE_NOOP("ChangePreview", "comment"),
    QT_TRANSLATE_NOOP("ChangePreview", "track"),
    QT_TRANSLATE_NOOP("ChangePreview", "name"),
    QT_TRANSLATE_NOOP("ChangePreview", "unchanged"),
    QT_TRANSLATE_NOOP("ChangePreview", "more pieces than fields"),
    QT_TRANSLATE_NOOP("ChangePreview", "the format names no field"),
    QT_TRANSLATE_NOOP("ChangePreview", "the file has no tag"),
    QT_TRANSLATE_NOOP("ChangePreview", "the name would be empty"),
    QT_TRANSLATE_NOOP("ChangePreview", "a file of that name exists"),
    QT_TRANSLATE_NOOP("ChangePreview", "an earlier file of this run takes that name"),
    QT_TRANSLATE_NOOP("ChangePreview", "the comment is cut to 28 characters"),
    QT_TRANSLATE_NOOP("ChangePreview",
                      "not a track number from 1 to 255; the track is left as it is"),
};

QString ShownPreviewText(const std::string& Text) {
    if (Text.empty())
        return QString();
    const QString whole = QCoreApplication::translate("ChangePreview", Text.c_str());
    if (whole != ToQ(Text))
        return whole;
    QStringList parts = ToQ(Text).split(QStringLiteral("; "));
    for (QString& part : parts)
        part = QCoreApplication::translate("ChangePreview", part.toUtf8().constData());
    return parts.join(QStringLiteral("; "));
}

} // namespace

void TFormPreviewChanges::SetRows(const QString& Caption, const std::vector<TPreviewRow>& Rows) {
    setWindowTitle(Caption);
    const TPreviewCounts counts = CountPreview(Rows);
    LabelCounts->setText(ToQ(PreviewSummary(counts)));
    TableChanges->setRowCount(0);
    TableChanges->setRowCount(static_cast<int>(Rows.size()));
    // A line break in a value would hide the rest of the cell; it shows as a visible mark.
    const auto cell = [](QString Text) {
        Text.replace(QLatin1Char('\n'), QStringLiteral("\u21b5"));
        Text.replace(QLatin1Char('\r'), QStringLiteral("\u21b5"));
        return new QTableWidgetItem(Text);
    };
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const TPreviewRow& row = Rows[i];
        const int r = static_cast<int>(i);
        // Names are bytes: old and new names show as paths do, whatever their encoding.
        const bool names = row.Field == "name";
        QTableWidgetItem* items[] = {cell(PathToQ(row.File)), cell(ShownPreviewText(row.Field)),
                                     cell(names ? PathToQ(row.Old) : ToQ(row.Old)),
                                     cell(names ? PathToQ(row.New) : ToQ(row.New)),
                                     cell(ShownPreviewText(row.Note))};
        items[0]->setToolTip(items[0]->text());
        items[4]->setToolTip(items[4]->text());
        for (int c = 0; c < 5; ++c) {
            QTableWidgetItem* item = items[c];
            switch (row.State) {
            case TPreviewState::psUnchanged:
                item->setForeground(grey);
                break;
            case TPreviewState::psFailed:
                item->setForeground(QColor(0xa0, 0x00, 0x00));
                item->setBackground(QColor(0xff, 0xdd, 0xdd));
                break;
            case TPreviewState::psWarning:
                item->setBackground(QColor(0xff, 0xf0, 0xc0));
                break;
            case TPreviewState::psChange:
                break;
            }
            TableChanges->setItem(r, c, item);
        }
    }
    TableChanges->resizeColumnsToContents();
    const int room = width(); // the table is not laid out before the first showing
    for (const int column : {0, 2, 3})
        TableChanges->setColumnWidth(column, std::min(TableChanges->columnWidth(column), room / 5));
    BitBtnApply->setEnabled(counts.Changes != 0);
}

bool PreviewBeforeStep(TFormPreviewChanges& Preview, IEditingHost& Host, const char* Key,
                       const QString& Caption,
                       const std::function<std::vector<TPreviewRow>()>& MakeRows) {
    const std::string settings = Host.SettingsFileName();
    if (!PreviewWanted(settings, Key))
        return true;
    const std::vector<TPreviewRow> rows = MakeRows();
    if (rows.empty())
        return true;
    Preview.SetRows(Caption, rows);
    Preview.CheckBoxShowPreview->setChecked(true);
    const bool apply = Preview.exec() == QDialog::Accepted;
    // A cancelled preview changes nothing, its own switch included.
    if (apply && !Preview.CheckBoxShowPreview->isChecked() &&
        !WritePreviewWanted(settings, Key, false))
        Host.ShowError(UnableToWriteMessage(settings));
    return apply;
}

} // namespace veltrane

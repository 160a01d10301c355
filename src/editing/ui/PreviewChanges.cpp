#include "editing/ui/PreviewChanges.h"

#include "editing/ui/EditingDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veltrane {

TFormPreviewChanges::TFormPreviewChanges(QWidget* Parent) : QDialog(Parent) {
    setObjectName("FormPreviewChanges");
    setModal(true);
    resize(760, 440);
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
    layout->addWidget(TableChanges, 1);

    auto* buttons = new QHBoxLayout;
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

void TFormPreviewChanges::SetRows(const QString& Caption, const std::vector<TPreviewRow>& Rows) {
    setWindowTitle(Caption);
    const TPreviewCounts counts = CountPreview(Rows);
    LabelCounts->setText(ToQ(PreviewSummary(counts)));
    TableChanges->setRowCount(0);
    TableChanges->setRowCount(static_cast<int>(Rows.size()));
    // A line break in a value would hide the rest of the cell; it shows as a visible mark.
    const auto cell = [](const std::string& Text) {
        QString text = ToQ(Text);
        text.replace(QLatin1Char('\n'), QStringLiteral("\u21b5"));
        text.replace(QLatin1Char('\r'), QStringLiteral("\u21b5"));
        return new QTableWidgetItem(text);
    };
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const TPreviewRow& row = Rows[i];
        const int r = static_cast<int>(i);
        auto* file = new QTableWidgetItem(PathToQ(row.File));
        TableChanges->setItem(r, 0, file);
        TableChanges->setItem(r, 1, cell(row.Field));
        TableChanges->setItem(r, 2, cell(row.Old));
        TableChanges->setItem(r, 3, cell(row.New));
        TableChanges->setItem(r, 4, cell(row.Note));
    }
    TableChanges->resizeColumnsToContents();
    BitBtnApply->setEnabled(counts.Changes != 0);
}

} // namespace veltrane

#include "editing/ui/help.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace veltrane {

TFormHelp::TFormHelp(QWidget* Parent) : TEditingDialog(tr("Help"), 340, 260, true, Parent) {
    setObjectName("FormHelp");
    LabelTopic = AddLabel(QString(), 12, 10, 316, 20);
    LabelTopic->setObjectName("LabelTopic");
    QFont font = LabelTopic->font();
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    LabelTopic->setFont(font);

    MemoHelp = new QPlainTextEdit(this);
    MemoHelp->setObjectName("MemoHelp");
    MemoHelp->setGeometry(12, 36, 316, 180);
    MemoHelp->setReadOnly(true);
    MemoHelp->setFocusPolicy(Qt::NoFocus);
    MemoHelp->setStyleSheet("QPlainTextEdit { background-color: rgb(183, 183, 255); }");

    ButtonClose = AddButton(tr("Close help"), "ButtonClose", 248, 226, 80, 24);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormHelp::ButtonCloseClick);
    BackImage->lower();
}

void TFormHelp::ShowHelp(const THelpState& State) {
    SetTopic(State.Topic);
    SetLines(State.Lines);
}

void TFormHelp::SetTopic(const std::string& Topic) {
    LabelTopic->setText(ToQ(Topic));
}

std::string TFormHelp::Topic() const {
    return FromQ(LabelTopic->text());
}

void TFormHelp::SetLines(const std::vector<std::string>& Lines) {
    QStringList lines;
    for (const std::string& line : Lines)
        lines << ToQ(line);
    MemoHelp->setPlainText(lines.join('\n'));
}

void TFormHelp::ButtonCloseClick() {
    hide();
}

void TFormHelp::showEvent(QShowEvent* Event) {
    TEditingDialog::showEvent(Event);
    emit VisibilityChanged(true);
}

void TFormHelp::hideEvent(QHideEvent* Event) {
    TEditingDialog::hideEvent(Event);
    emit VisibilityChanged(false);
}

} // namespace veltrane

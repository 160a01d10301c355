#include "editing/ui/EditingDialog.h"

#include "components/ui/DisplayText.h"
#include "components/ui/msgbox.h"

#include "tagcore/MP3Tag.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace veltrane {

void TClickLabel::mouseReleaseEvent(QMouseEvent* Event) {
    QLabel::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        emit clicked();
}

TEditingDialog::TEditingDialog(const QString& Caption, int ClientWidth, int ClientHeight,
                               bool CloseBox, QWidget* Parent)
    : QDialog(Parent) {
    Qt::WindowFlags flags = Qt::Tool | Qt::WindowStaysOnTopHint;
    if (!CloseBox)
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    setWindowFlags(flags);
    setWindowTitle(Caption);
    setFixedSize(ClientWidth, ClientHeight);
    BackImage = new QLabel(this);
    BackImage->setObjectName("BackImage");
    BackImage->setGeometry(0, 0, ClientWidth, ClientHeight);
    BackImage->setScaledContents(true);
    BackImage->lower();
}

void TEditingDialog::SetBackImage(const QString& FileName) {
    QPixmap picture;
    if (!FileName.isEmpty() && picture.load(FileName))
        BackImage->setPixmap(picture);
}

void TEditingDialog::showEvent(QShowEvent* Event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(Event);
}

QLabel* TEditingDialog::AddLabel(const QString& Text, int X, int Y, int W, int H) {
    auto* label = new QLabel(Text, this);
    label->adjustSize();
    label->setGeometry(X, Y, W < 0 ? label->width() : W, H < 0 ? label->height() : H);
    return label;
}

QLabel* TEditingDialog::AddRowLabel(const QString& Text, int X, int Y, int W, int H) {
    auto* label = new QLabel(Text, this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(X, Y, W, H);
    return label;
}

TClickLabel* TEditingDialog::AddClickLabel(const QString& Text, int X, int Y, int W, int H) {
    auto* label = new TClickLabel(Text, this);
    label->adjustSize();
    label->setGeometry(X, Y, W < 0 ? label->width() : W, H < 0 ? label->height() : H);
    return label;
}

QFrame* TEditingDialog::AddBevel(int X, int Y, int W, int H) {
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(X, Y, W, H);
    bevel->lower();
    BackImage->lower();
    return bevel;
}

QPushButton* TEditingDialog::AddButton(const QString& Caption, const char* Name, int X, int Y,
                                       int W, int H) {
    auto* button = new QPushButton(Caption, this);
    button->setObjectName(Name);
    // A focused button must not take Enter from the window's default button.
    button->setAutoDefault(false);
    button->setGeometry(X, Y, W, H);
    return button;
}

void TEditingDialog::SetTabChain(std::initializer_list<QWidget*> Widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : Widgets) {
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

void TEditingDialog::SetDefaultButtons(QPushButton* Default, QPushButton* Cancel) {
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    if (Default)
        Default->setDefault(true);
    cancelButton_ = Cancel;
}

void TEditingDialog::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        if (cancelButton_ && cancelButton_->isVisible() && cancelButton_->isEnabled())
            cancelButton_->click();
        return;
    }
    QDialog::keyPressEvent(Event);
}

bool TEditingDialog::AcceptLossySave(const std::vector<TNamedText>& Fields) {
    const auto [codec, lossy] =
        LossyFieldsIn(Fields, WriteCodecs.empty() ? std::vector<const TagCodec*>{&TagCodec::Default()}
                                                  : WriteCodecs);
    if (lossy.empty())
        return true;
    const std::string question = LossyFieldsQuestion(lossy, *codec);
    if (ConfirmLossySave)
        return ConfirmLossySave(question);
    return AskYesNo(this, QMessageBox::Warning, windowTitle(), ToQ(question), false);
}

void TEditingDialog::ShowExtraLine(QLabel* Line, const QString& Text,
                                   std::initializer_list<QWidget*> Buttons) {
    const int line = Text.isEmpty() ? 0 : std::max(18, Line->fontMetrics().height() + 2);
    const int shift = line - extraLine_;
    if (shift != 0) {
        for (QWidget* w : Buttons)
            w->move(w->x(), w->y() + shift);
        setFixedSize(width(), height() + shift);
        BackImage->resize(width(), height());
        extraLine_ = line;
    }
    Line->setText(Text);
    Line->setVisible(!Text.isEmpty());
    if (!Text.isEmpty()) {
        int top = height();
        for (QWidget* w : Buttons)
            top = std::min(top, w->y());
        Line->setGeometry(12, top - line - 2, width() - 24, line);
    }
}

void TakeSharedBackground(TEditingDialog& Form, QWidget& Parent) {
    for (const TEditingDialog* other : Parent.findChildren<TEditingDialog*>())
        if (other != &Form && other->BackImage && !other->BackImage->pixmap().isNull()) {
            Form.BackImage->setPixmap(other->BackImage->pixmap());
            return;
        }
}

void TEditingDialog::FillStyles(QComboBox* Box) {
    QStringList entries;
    for (const std::string& entry : GenreTable())
        entries << ToQ(entry);
    // A sorted box: letter case ignored, so the empty entry always comes first.
    std::stable_sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    Box->clear();
    Box->addItems(entries);
}

QString ToQ(const std::string& Utf8) {
    return QString::fromStdString(Utf8);
}
std::string FromQ(const QString& Text) {
    return Text.toStdString();
}
QString PathToQ(const std::string& Path) {
    return DisplayText(Path);
}

} // namespace veltrane

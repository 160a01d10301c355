#include "components/ui/msgbox.h"

#include "components/AviReader.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace veltrane {

// --- TAS ------------------------------------------------------------------------------------

TAS::TAS(QWidget* Parent) : TAnimatedSymbol(Parent) {
    resize(32, 32);
}

std::map<int, std::string>& TAS::Resources() {
    static std::map<int, std::string> resources;
    return resources;
}

std::map<std::string, std::string>& TAS::NamedResources() {
    static std::map<std::string, std::string> resources;
    return resources;
}

std::function<void(const std::string&)>& TAS::ShowError() {
    static std::function<void(const std::string&)> show;
    return show;
}

namespace {

void Report(const std::string& Text) {
    if (TAS::ShowError())
        TAS::ShowError()(Text);
    else
        ShowMessageBox(nullptr, QMessageBox::Critical, QApplication::applicationName(),
                       QString::fromStdString(Text));
}

} // namespace

void TAS::OpenFile(const std::string& File, const std::string& ErrorText) {
    try {
        TAnimatedSymbol::SetAVIName(File);
    } catch (const std::exception&) {
        Report(ErrorText);
    }
}

void TAS::SetAVIName(const std::string& Value) {
    OpenFile(Value, "Could not open AVI " + Value + "\n\nIt must be a silent AVI file/resource.");
}

void TAS::SetState(TAS_State Value) {
    try {
        TAnimatedSymbol::SetState(static_cast<TAnimatedState>(Value));
    } catch (const std::exception&) {
        Report("Could not open AVI " + AVIName() + "\n\nIt must be a silent AVI file/resource.");
    }
}

TAS_State TAS::State() const {
    return static_cast<TAS_State>(TAnimatedSymbol::State());
}

void TAS::OpenResource(int Id) {
    const std::string text = "Could not open AVI #" + std::to_string(Id) +
                             "\n\n It must be a silent AVI file/resource.";
    const auto it = Resources().find(Id);
    if (it == Resources().end())
        Report(text);
    else
        OpenFile(it->second, text);
}

void TAS::OpenResource(const std::string& Name) {
    const std::string text =
        "Could not open AVI resource " + Name + "\n\n It must be a silent AVI file/resource.";
    const auto it = NamedResources().find(Name);
    if (it == NamedResources().end())
        Report(text);
    else
        OpenFile(it->second, text);
}

// --- The pictures --------------------------------------------------------------------------

QImage StandardMsgBoxPicture(MsgBoxTypes Type) {
    // Drawn on a magenta ground, the colour of the top-left pixel, which is drawn transparent.
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont font("Sans");
    font.setBold(true);
    font.setPixelSize(22);
    p.setFont(font);
    auto sign = [&](const QColor& fill, const QString& mark, const QColor& ink) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(fill);
        p.drawEllipse(2, 2, 27, 27);
        p.setPen(ink);
        p.drawText(QRect(2, 2, 28, 28), Qt::AlignCenter, mark);
    };
    switch (Type) {
    case mbAsk: sign(QColor(0, 0, 255), "?", Qt::white); break;
    case mbInfo: sign(QColor(255, 255, 255), "i", QColor(0, 0, 255)); break;
    case mbWarn: {
        QPainterPath triangle;
        triangle.moveTo(16, 1);
        triangle.lineTo(31, 29);
        triangle.lineTo(1, 29);
        triangle.closeSubpath();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 0));
        p.drawPath(triangle);
        p.setPen(Qt::black);
        p.drawText(QRect(1, 7, 30, 22), Qt::AlignCenter, "!");
        break;
    }
    case mbError: {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 0, 0));
        p.drawEllipse(2, 2, 27, 27);
        p.setPen(QPen(Qt::white, 4));
        p.drawLine(10, 10, 21, 21);
        p.drawLine(21, 10, 10, 21);
        break;
    }
    case mbCustom: break;
    }
    return image;
}

// --- TMsgBox -------------------------------------------------------------------------------

namespace {

// The box itself: draws the picture, and lets Esc press only the cancel button.
class TMsgBoxDialog : public QDialog {
  public:
    TMsgBoxDialog() : QDialog(nullptr) {}
    QImage Picture;
    QPushButton* EscButton = nullptr;

  protected:
    void paintEvent(QPaintEvent*) override {
        if (Picture.isNull())
            return;
        QPainter p(this);
        p.drawImage(12, 12, Picture);
    }
    void keyPressEvent(QKeyEvent* Event) override {
        if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
            if (EscButton)
                EscButton->click();
            return;
        }
        QDialog::keyPressEvent(Event);
    }
};

QImage WithTransparency(const QImage& Picture, const std::optional<QColor>& Transparent) {
    if (Picture.isNull())
        return Picture;
    QImage image = Picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = (Transparent ? *Transparent : QColor(image.pixel(0, 0))).rgb() & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
    }
    return image;
}

} // namespace

TMsgBox::TMsgBox(QObject* Owner) : QObject(Owner) {}

int TMsgBox::Execute(QWidget* Parent) {
    lastResult_ = 0;
    TMsgBoxDialog dialog;
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint);
    dialog.setObjectName("MsgBox");
    const QFontMetrics metrics(dialog.font());
    const TTextWidth width = [&metrics](const std::string& Text) {
        return metrics.horizontalAdvance(QString::fromStdString(Text));
    };

    auto* label = new QLabel(&dialog);
    label->setObjectName("LabelMessage");
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QStringList lines;
    for (const std::string& line : Lines)
        lines << QString::fromStdString(line);
    label->setText(lines.join('\n'));

    int pictureWidth = 0, pictureHeight = 0;
    TAS* clip = nullptr;
    if (MsgBoxType != mbCustom) {
        CustomImage = StandardMsgBoxPicture(MsgBoxType);
        TransparentColor.reset();
    } else if (AVIResourceID >= 0 || !AVIResourceName.empty() || !AVIFile.empty()) {
        clip = new TAS(&dialog);
        clip->SetAutoPlay(true);
        clip->SetPlayTo(-1);
        clip->SetCenter(false);
        if (AVIResourceID >= 0)
            clip->OpenResource(AVIResourceID);
        else if (!AVIResourceName.empty())
            clip->OpenResource(AVIResourceName);
        else
            clip->SetAVIName(AVIFile);
        clip->move(12, 12);
    }
    if (!CustomImage.isNull()) {
        dialog.Picture = WithTransparency(CustomImage, TransparentColor);
        pictureWidth = CustomImage.width();
        pictureHeight = CustomImage.height();
    } else if (clip) {
        pictureWidth = clip->width();
        pictureHeight = clip->height();
    }

    const std::vector<TMsgButton> buttons =
        MsgBoxButtons(ButtonStyles, ButtonTexts, DefButton, CancelButton, width);
    const TMsgBoxLayout layout = ArrangeMsgBox(Lines, buttons, pictureWidth, pictureHeight,
                                               metrics.height() + 2, width);
    QPushButton* focus = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const TMsgButton& b = buttons[i];
        auto* button = new QPushButton(QString::fromStdString(b.Caption), &dialog);
        button->setObjectName(QString("Button%1").arg(b.Number));
        const TMsgRect& r = layout.Buttons[i];
        button->setGeometry(r.Left, r.Top, r.Width, r.Height);
        button->setAutoDefault(false);
        if (b.Default) {
            button->setDefault(true);
            focus = button;
        }
        if (b.Cancel && !dialog.EscButton)
            dialog.EscButton = button;
        const int number = b.Number;
        connect(button, &QPushButton::clicked, &dialog, [this, number, &dialog] {
            lastResult_ = number;
            dialog.done(number);
        });
    }
    label->setGeometry(layout.Label.Left, layout.Label.Top, layout.Label.Width,
                       layout.Label.Height);
    dialog.setFixedSize(layout.ClientWidth, layout.ClientHeight);
    dialog.setWindowTitle(QString::fromStdString(Caption.empty()
                                                     ? QApplication::applicationName().toStdString()
                                                     : Caption));
    if (focus)
        focus->setFocus();

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    std::optional<TMsgRect> parent;
    if (Parent) {
        const QRect f = Parent->frameGeometry();
        parent = TMsgRect{f.left(), f.top(), f.width(), f.height()};
    }
    if (auto at = MsgBoxPosition(Appearence, layout.ClientWidth, layout.ClientHeight, parent,
                                 screenSize.width(), screenSize.height(), FormLeft, FormTop))
        dialog.move(at->X, at->Y);

    dialog_ = &dialog;
    if (Answer)
        lastResult_ = Answer(*this);
    else
        ExecAboveAll(dialog, Parent);
    dialog_ = nullptr;
    return lastResult_;
}

namespace {
// A title and a close box, nothing to minimise or maximise.
constexpr Qt::WindowFlags kStandardBoxFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
} // namespace

int ExecAboveAll(QDialog& Box, QWidget* Owner) {
    // Changing another window's flags would hide and re-show it, and its show handler would
    // reset what the user typed there: the box alone is made to stand above them all.
    const QPointer<QWidget> active = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    QWidget* owner = active ? active.data() : Owner ? Owner->window() : nullptr;
    if (owner == &Box)
        owner = nullptr;
    const QPoint at = Box.pos();
    const bool placed = Box.testAttribute(Qt::WA_Moved);
    // Owned by that window, the window manager keeps the box above it, whatever its layer.
    Box.setParent(owner, Box.windowFlags() | Qt::Dialog | Qt::WindowStaysOnTopHint);
    if (placed)
        Box.move(at);
    QTimer::singleShot(0, &Box, [&Box] {
        Box.raise();
        Box.activateWindow();
    });
    const int result = Box.exec();
    if (active && active->isVisible())
        active->activateWindow();
    if (focus && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);
    return result;
}

void ShowMessageBox(QWidget* Owner, QMessageBox::Icon Icon, const QString& Title,
                    const QString& Text) {
    QMessageBox box(Icon, Title, Text, QMessageBox::Ok);
    box.setWindowFlags(kStandardBoxFlags);
    ExecAboveAll(box, Owner);
}

bool AskYesNo(QWidget* Owner, QMessageBox::Icon Icon, const QString& Title, const QString& Text,
              bool DefaultYes) {
    QMessageBox box(Icon, Title, Text, QMessageBox::Yes | QMessageBox::No);
    box.setWindowFlags(kStandardBoxFlags);
    box.setDefaultButton(DefaultYes ? QMessageBox::Yes : QMessageBox::No);
    return ExecAboveAll(box, Owner) == QMessageBox::Yes;
}

} // namespace veltrane

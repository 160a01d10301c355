#include "editing/ui/FieldHints.h"

#include "editing/CodePageCheck.h"

#include <QAction>
#include <QLineEdit>
#include <QStyle>
#include <QToolTip>

namespace veltrane {

namespace {
constexpr const char* kHintProperty = "fieldHint";
}

void TFieldHints::Add(QLineEdit* Edit, std::function<std::size_t()> MaxBytes) {
    QAction* mark = Edit->addAction(Edit->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                    QLineEdit::TrailingPosition);
    mark->setVisible(false);
    fields_.push_back({Edit, mark, std::move(MaxBytes)});
    connect(Edit, &QLineEdit::textEdited, this, [this, Edit] { Update(Edit, true); });
}

void TFieldHints::UpdateAll() {
    for (const TField& f : fields_)
        Update(f.Edit, false);
}

void TFieldHints::Update(QLineEdit* Edit, bool Typing) {
    for (const TField& f : fields_) {
        if (f.Edit != Edit)
            continue;
        const QByteArray text = Edit->text().toUtf8();
        const QString hint = QString::fromStdString(
            FieldHintIn(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                        f.MaxBytes(),
                        codecs_.empty() ? std::vector<const TagCodec*>{&TagCodec::Default()}
                                        : codecs_));
        const bool had = !Hint(Edit).isEmpty();
        Edit->setProperty(kHintProperty, hint);
        f.Mark->setVisible(!hint.isEmpty());
        f.Mark->setToolTip(hint);
        if (Typing && !hint.isEmpty() && Edit->isVisible())
            QToolTip::showText(Edit->mapToGlobal(QPoint(Edit->width(), 0)), hint, Edit);
        else if (Typing && had && hint.isEmpty())
            QToolTip::hideText();
    }
}

QString TFieldHints::Hint(const QLineEdit* Edit) {
    return Edit->property(kHintProperty).toString();
}

} // namespace veltrane

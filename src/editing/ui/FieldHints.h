#pragma once
// Hints beside the tag fields while they are typed: a field whose text the code page or the
// field's room will change gets a warning mark at its end, and a tip beside it names what
// changes (which characters become "?", what is cut off), before anything is saved.

#include "tagcore/TagCodec.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

class QAction;
class QLineEdit;

namespace veltrane {

class TFieldHints : public QObject {
    Q_OBJECT
  public:
    explicit TFieldHints(QObject* Parent) : QObject(Parent) {}

    // MaxBytes is asked on each change: the comment's room depends on the track.
    void Add(QLineEdit* Edit, std::function<std::size_t()> MaxBytes);
    // Sets the mark of every field quietly (after the window was filled).
    void UpdateAll();
    // Sets Edit's mark; with Typing the tip shows beside it too.
    void Update(QLineEdit* Edit, bool Typing);

    // The code pages the fields are written in (the default's when empty).
    void SetCodecs(std::vector<const TagCodec*> Codecs) { codecs_ = std::move(Codecs); }

    // The hint a field shows now; empty when its text is written as it stands.
    static QString Hint(const QLineEdit* Edit);

  private:
    struct TField {
        QLineEdit* Edit;
        QAction* Mark;
        std::function<std::size_t()> MaxBytes;
    };
    std::vector<TField> fields_;
    std::vector<const TagCodec*> codecs_;
};

} // namespace veltrane

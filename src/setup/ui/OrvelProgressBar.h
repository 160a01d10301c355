#pragma once
// The copy page's progress bar: a framed bar with the percentage drawn across it. Values are
// 64-bit, so nothing wraps with files above 2 GiB.

#include <QColor>
#include <QWidget>

namespace veltrane {

class TOrvelProgressBar : public QWidget {
    Q_OBJECT
  public:
    explicit TOrvelProgressBar(QWidget* Parent = nullptr);
    QColor BackColor() const { return BackColor_; }
    void SetBackColor(const QColor& C);
    QColor BarColor() const { return BarColor_; }
    // Also the colour of the text over the empty part.
    void SetBarColor(const QColor& C);
    qint64 MaxValue() const { return MaxValue_; }
    // Negative is stored as 0.
    void SetMaxValue(qint64 V);
    qint64 Progress() const { return Progress_; }
    // Clamped to 0..MaxValue.
    void SetProgress(qint64 V);
    // Filled width for a bar of Width pixels, and the percentage shown.
    static int FilledWidth(qint64 Progress, qint64 Max, int Width);
    static int Percent(qint64 Progress, qint64 Max);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QColor BackColor_ = Qt::white;
    QColor BarColor_;
    qint64 MaxValue_ = 100;
    qint64 Progress_ = 48;
};

} // namespace veltrane

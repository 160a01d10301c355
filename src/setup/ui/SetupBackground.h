#pragma once
// The full-screen background: bands from StartColor to EndColor, the product name at the top
// left, and a timer that starts the wizard once it has painted.

#include "setup/InstallProduct.h"

#include <QColor>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace veltrane {

class TSetupBackground : public QWidget {
    Q_OBJECT
  public:
    TSetupBackground(TSetupInfo* Info, const TBackgroundSettings& Settings, QWidget* Parent = nullptr);
    TSetupPage* AutoSetup = nullptr;
    TSetupPage* AutoUnInstall = nullptr;
    QColor StartColor, EndColor;
    int Gradations() const { return Gradations_; }
    // Refuses a value below 1 with a warning and keeps the old one.
    bool SetGradations(int Value);
    QLabel* AppNameLabel;
    // Runs when the wizard chain has ended, with its result.
    std::function<void(int Result)> OnFinished;
    // Band i of Count over Height: its top and bottom, and its colour.
    static int BandTop(int I, int Count, int Height) { return static_cast<int>(static_cast<long long>(Height) * I / Count); }
    static QColor BandColor(const QColor& Start, const QColor& End, int I, int Count);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    TSetupInfo* Info_;
    int Gradations_ = 100;
    QTimer* Timer_;
    bool Painted_ = false;
};

} // namespace veltrane

#pragma once
// TLightSpeed: a star field flying out of a centre point, redrawn while active.

#include <QColor>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <random>

namespace veltrane {

enum TLightSpeedSpeed { lsSlower, lsSlow, lsNormal, lsFast, lsFaster, lsLight };
enum TLightSpeedOption { loColored = 1, loMultiplay = 2 };

class TLightSpeed : public QWidget {
    Q_OBJECT
  public:
    explicit TLightSpeed(QWidget* Parent = nullptr);

    int StarsCount() const { return StarsCount_; }
    void SetStarsCount(int Value);
    int Brightness = 96; // 0 to 255: how bright a star is where it appears
    TLightSpeedSpeed Speed = lsNormal;
    int Options = 0; // loColored: stars of many colours; loMultiplay: stars leave trails
    int CenterX = 0;
    int CenterY = 0;
    int Interval() const { return Timer_.interval(); }
    void SetInterval(int Ms) { Timer_.setInterval(Ms); }
    bool Active() const { return Timer_.isActive(); }
    void SetActive(bool Value);
    // One animation step, as the timer does it.
    void Step();

  protected:
    void paintEvent(QPaintEvent* Event) override;

  private:
    struct Star {
        double x, y, z; // z from far (1) to near (0)
        double prevZ;
        QColor color;
    };
    void Place(Star& S, bool Anywhere);

    QTimer Timer_;
    QVector<Star> Stars_;
    int StarsCount_ = 100;
    std::mt19937 Random_{1998};
};

} // namespace veltrane

#pragma once
// Ends the program cleanly on SIGTERM (a logout), SIGINT and SIGHUP: the signal only wakes the
// event loop, which then quits, so the windows and the media stores end as on a normal close
// (the About tune's player group ended, the temporary files removed). A second such signal
// ends the program at once.

#include <QObject>

class QSocketNotifier;

namespace veltrane {

class TEndSignals : public QObject {
    Q_OBJECT
  public:
    explicit TEndSignals(QObject* Parent = nullptr);
    // Puts the signals' previous handling back.
    ~TEndSignals() override;
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

    // The signal that asked the program to end, 0 while none has.
    static int Received();

  signals:
    void EndRequested(int Signal);

  private:
    void ReadSignal();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace veltrane

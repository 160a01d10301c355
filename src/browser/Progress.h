#pragma once
// What long loops over files report while they run; the main window answers with its progress
// window (TmProgressWnd), tests and the command line with nothing or a recorder.

#include <cstdint>
#include <string>

namespace veltrane {

struct IProgress {
    virtual ~IProgress() = default;
    // Opens the progress display with this caption and a bar from 0 to Max.
    virtual void Start(const std::string& Caption, std::uint64_t Max) = 0;
    // Moves the bar; also the moment to let pending window messages run.
    virtual void SetPosition(std::uint64_t Position) = 0;
    // Closes the display; called on every exit path, errors included.
    virtual void Finish() = 0;
    // Lets the user stop the loop (a Cancel button) until Finish; loops that can stop early
    // ask Cancelled after each step. Displays without a way to stop ignore it.
    virtual void OfferCancel() {}
    virtual bool Cancelled() const { return false; }
};

// Calls Finish when the scope ends, so an exception closes the progress display too.
class ProgressScope {
  public:
    ProgressScope(IProgress* Progress, const std::string& Caption, std::uint64_t Max)
        : progress_(Progress) {
        if (progress_)
            progress_->Start(Caption, Max);
    }
    ~ProgressScope() {
        if (progress_)
            progress_->Finish();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void SetPosition(std::uint64_t Position) const {
        if (progress_)
            progress_->SetPosition(Position);
    }
    void OfferCancel() const {
        if (progress_)
            progress_->OfferCancel();
    }
    bool Cancelled() const { return progress_ && progress_->Cancelled(); }

  private:
    IProgress* progress_;
};

} // namespace veltrane

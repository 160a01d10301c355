#include "tagcore/TailRunReader.h"

#include "tagcore/InOutError.h"
#include "tagcore/PreadAll.h"

#include <algorithm>
#include <cerrno>
#include <liburing.h>
#include <utility>

namespace veltrane {

namespace {
constexpr int kTooManyOpenFiles = 4; // the runtime's code for EMFILE and ENFILE

// Reads the tail again the plain way: false when the file is shorter than it was.
bool ReadTailPlainly(int Fd, char* Into, std::uint64_t End, std::size_t Length) {
    return PreadAll(Fd, Into, Length, static_cast<off_t>(End - Length));
}

// The head as far as the file goes.
std::size_t ReadHeadPlainly(int Fd, char* Into, std::size_t Length) {
    return PreadUpTo(Fd, Into, Length, 0);
}
constexpr std::uint64_t kHeadBit = 1; // in a request's data: the head's read, not the tail's
} // namespace

struct TTailRunReader::Ring {
    io_uring Uring{};
};

TTailRunReader::TTailRunReader(TOpen Open, bool UseRing)
    : open_(std::move(Open)), entries_(kMaxRun) {
    if (!UseRing)
        return;
    auto ring = std::make_unique<Ring>();
    if (io_uring_queue_init(static_cast<unsigned>(2 * kMaxRun), &ring->Uring, 0) == 0)
        ring_ = std::move(ring);
}

TTailRunReader::~TTailRunReader() {
    DropRing();
}

void TTailRunReader::DropRing() {
    if (ring_)
        io_uring_queue_exit(&ring_->Uring);
    ring_.reset();
}

bool TTailRunReader::Holds(std::size_t Index) const {
    return Index >= first_ && Index - first_ < kMaxRun && entries_[Index - first_].Prepared;
}

void TTailRunReader::Prepare(std::size_t First, std::size_t End, TDirectoryCache* Directories) {
    for (Entry& e : entries_) {
        e.Prepared = false;
        e.File.reset(-1);
    }
    current_.reset(-1);
    first_ = First;
    End = std::min(End, First + kMaxRun);
    if (!ring_ || First >= End)
        return;

    files_.clear();
    reading_.clear();
    unsigned queued = 0;
    for (std::size_t i = First; i < End; ++i) {
        Entry& e = entries_[i - First];
        e.Error = nullptr;
        e.Result = -1;
        e.HeadResult = -1;
        try {
            TTailOpen opened = open_(i, Directories);
            e.Status = opened.Status;
            e.Path = std::move(opened.Path);
            e.TailEnd = opened.TailEnd;
            e.TailLength = std::min(opened.TailLength, kMaxTail);
            e.HeadLength = std::min(opened.HeadLength, kMaxHead);
            e.Prepared = true;
            if (e.TailLength == 0 && e.HeadLength == 0)
                continue;
            if (e.TailLength > 0) {
                if (io_uring_sqe* sqe = io_uring_get_sqe(&ring_->Uring)) {
                    io_uring_prep_read(sqe, opened.File.get(), e.Tail,
                                       static_cast<unsigned>(e.TailLength), e.TailEnd - e.TailLength);
                    io_uring_sqe_set_data64(sqe, (i - First) << 1);
                    ++queued;
                }
            }
            if (e.HeadLength > 0) {
                if (!e.Head)
                    e.Head = std::make_unique<char[]>(kMaxHead);
                if (io_uring_sqe* sqe = io_uring_get_sqe(&ring_->Uring)) {
                    io_uring_prep_read(sqe, opened.File.get(), e.Head.get(),
                                       static_cast<unsigned>(e.HeadLength), 0);
                    io_uring_sqe_set_data64(sqe, (i - First) << 1 | kHeadBit);
                    ++queued;
                }
            }
            reading_.push_back(i - First);
            files_.push_back(std::move(opened.File));
        } catch (const EInOutError& error) {
            // Out of descriptors because of the run itself: the rest are read one by one
            // once these are closed again.
            if (error.ErrorCode() == kTooManyOpenFiles)
                break;
            e.Error = std::current_exception();
            e.Prepared = true;
        } catch (...) {
            e.Error = std::current_exception();
            e.Prepared = true;
        }
    }

    // Every request sent is waited for before its buffer or descriptor goes.
    unsigned submitted = 0;
    while (submitted < queued) {
        const int r = io_uring_submit(&ring_->Uring);
        if (r > 0)
            submitted += static_cast<unsigned>(r);
        else if (r != -EINTR && r != -EAGAIN && r != -EBUSY)
            break; // the rest stay unsent and are read one by one below
    }
    for (unsigned done = 0; done < submitted;) {
        io_uring_cqe* cqe = nullptr;
        const int r = io_uring_wait_cqe(&ring_->Uring, &cqe);
        if (r == -EINTR)
            continue;
        if (r < 0) {
            // Reads still under way may yet write into the entries: they are left to the
            // kernel, never freed, and this reader reads on file by file.
            static_cast<void>(new std::vector<Entry>(std::move(entries_))); // NOLINT
            static_cast<void>(ring_.release());                              // NOLINT
            entries_ = std::vector<Entry>(kMaxRun);
            return;
        }
        const std::uint64_t data = io_uring_cqe_get_data64(cqe);
        (data & kHeadBit ? entries_[data >> 1].HeadResult : entries_[data >> 1].Result) = cqe->res;
        io_uring_cqe_seen(&ring_->Uring, cqe);
        ++done;
    }
    if (submitted < queued)
        DropRing(); // the unsent requests go with it

    for (std::size_t k = 0; k < reading_.size(); ++k) {
        Entry& e = entries_[reading_[k]];
        try {
            if (e.Result != static_cast<int>(e.TailLength)) {
                if (!ReadTailPlainly(files_[k].get(), e.Tail, e.TailEnd, e.TailLength))
                    throw EInOutError(100);
                e.Result = static_cast<int>(e.TailLength);
            }
            // A short head is read again: the kernel may stop a read early.
            if (e.HeadLength > 0 && e.HeadResult != static_cast<int>(e.HeadLength))
                e.HeadLength = ReadHeadPlainly(files_[k].get(), e.Head.get(), e.HeadLength);
            // Kept for whoever reads on past the tail and head (the audio, an ID3v2 tag).
            e.File.reset(files_[k].release());
        } catch (...) {
            e.Error = std::current_exception();
        }
    }
    files_.clear();
}

TTailRunReader::TTail TTailRunReader::Read(std::size_t Index, TDirectoryCache* Directories) {
    current_.reset(-1);
    if (!Holds(Index)) {
        TTailOpen opened = open_(Index, Directories);
        const std::size_t length = std::min(opened.TailLength, kMaxTail);
        if (length > 0 && !ReadTailPlainly(opened.File.get(), single_, opened.TailEnd, length))
            throw EInOutError(100);
        std::size_t head = std::min(opened.HeadLength, kMaxHead);
        if (head > 0) {
            if (!singleHead_)
                singleHead_ = std::make_unique<char[]>(kMaxHead);
            head = ReadHeadPlainly(opened.File.get(), singleHead_.get(), head);
        }
        current_.reset(opened.File.release());
        return {opened.Status, std::move(opened.Path), opened.TailEnd,
                std::string_view(single_, length), std::string_view(singleHead_.get(), head),
                current_.get()};
    }
    Entry& e = entries_[Index - first_];
    e.Prepared = false;
    if (e.Error)
        std::rethrow_exception(std::exchange(e.Error, nullptr));
    current_.reset(e.File.release());
    return {e.Status, std::move(e.Path), e.TailEnd, std::string_view(e.Tail, e.TailLength),
            std::string_view(e.Head.get(), e.HeadLength), current_.get()};
}

} // namespace veltrane

#include "tagcore/TagRunReader.h"

#include "tagcore/InOutError.h"
#include "tagcore/PreadAll.h"
#include "tagcore/TagFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <liburing.h>
#include <string_view>
#include <utility>

namespace veltrane {

namespace {
constexpr std::size_t kTagSize = 128;
constexpr int kTooManyOpenFiles = 4; // the runtime's code for EMFILE and ENFILE
} // namespace

struct TTagRunReader::Ring {
    io_uring Uring{};
};

TTagRunReader::TTagRunReader(TPathOf PathOf, std::uint64_t MinSize, bool UseRing)
    : pathOf_(std::move(PathOf)), minSize_(MinSize), entries_(kMaxRun) {
    if (!UseRing)
        return;
    auto ring = std::make_unique<Ring>();
    if (io_uring_queue_init(static_cast<unsigned>(kMaxRun), &ring->Uring, 0) == 0)
        ring_ = std::move(ring);
}

TTagRunReader::~TTagRunReader() {
    DropRing();
}

void TTagRunReader::DropRing() {
    if (ring_)
        io_uring_queue_exit(&ring_->Uring);
    ring_.reset();
}

bool TTagRunReader::Holds(std::size_t Index) const {
    return Index >= first_ && Index - first_ < kMaxRun && entries_[Index - first_].Prepared;
}

void TTagRunReader::Prepare(std::size_t First, std::size_t End, TDirectoryCache* Directories) {
    for (Entry& e : entries_)
        e.Prepared = false;
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
        e.HasTail = false;
        e.Result = -1;
        try {
            e.Path = pathOf_(i);
            TTagOpen opened = OpenForTag(e.Path, minSize_, Directories);
            e.Size = opened.Size;
            e.Prepared = true;
            if (!opened.ReadTail)
                continue;
            if (io_uring_sqe* sqe = io_uring_get_sqe(&ring_->Uring)) {
                io_uring_prep_read(sqe, opened.File.get(), e.Tail, kTagSize,
                                   opened.Size - kTagSize);
                io_uring_sqe_set_data64(sqe, i - First);
                ++queued;
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
            static_cast<void>(ring_.release());                             // NOLINT
            entries_ = std::vector<Entry>(kMaxRun);
            return;
        }
        entries_[io_uring_cqe_get_data64(cqe)].Result = cqe->res;
        io_uring_cqe_seen(&ring_->Uring, cqe);
        ++done;
    }
    if (submitted < queued)
        DropRing(); // the unsent requests go with it

    // A short or failed read, or one never sent, is read again the plain way, which tells a
    // file cut meanwhile from a real error.
    for (std::size_t k = 0; k < reading_.size(); ++k) {
        Entry& e = entries_[reading_[k]];
        e.HasTail = e.Result == static_cast<int>(kTagSize);
        if (e.HasTail)
            continue;
        try {
            if (!PreadAll(files_[k].get(), e.Tail, kTagSize, static_cast<off_t>(e.Size - kTagSize)))
                throw EInOutError(100);
            e.HasTail = true;
        } catch (const EInOutError&) {
            e.Error = std::current_exception();
        }
    }
    files_.clear();
}

TMP3Tag TTagRunReader::Read(std::size_t Index, const TagCodec& codec, std::uint64_t* FileSize,
                            TDirectoryCache* Directories) {
    if (!Holds(Index))
        return GetMP3Tag(pathOf_(Index), codec, FileSize, minSize_, Directories);
    Entry& e = entries_[Index - first_];
    e.Prepared = false;
    if (e.Error)
        std::rethrow_exception(std::exchange(e.Error, nullptr));
    if (FileSize)
        *FileSize = e.Size;
    TMP3Tag tag;
    if (e.HasTail)
        tag = ParseTagBytes(std::string_view(e.Tail, kTagSize), codec);
    tag.FileName = std::move(e.Path);
    return tag;
}

} // namespace veltrane

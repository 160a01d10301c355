#include "browser/RowFilter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

namespace veltrane {

namespace {

constexpr const auto& kFold = kAsciiUpper;

void FoldInPlace(char* At, std::size_t Size) {
    for (std::size_t i = 0; i < Size; ++i)
        At[i] = static_cast<char>(kFold[static_cast<unsigned char>(At[i])]);
}

bool Holds(std::string& Row, std::string_view Folded) {
    FoldInPlace(Row.data(), Row.size());
    // memmem's two-way search beats std::search on long rows and short words alike.
    return ::memmem(Row.data(), Row.size(), Folded.data(), Folded.size()) != nullptr;
}

// Rows [Begin, End) of Candidates: a match mark for each.
void MarkRange(const std::vector<std::uint32_t>& Candidates, std::size_t Begin, std::size_t End,
               std::string_view Folded, const TRowTextFn& RowText, std::vector<char>& Marks) {
    std::string row;
    for (std::size_t i = Begin; i < End; ++i) {
        row.clear();
        const bool matchable = RowText(Candidates[i], row);
        Marks[i] = !matchable || Holds(row, Folded) ? 1 : 0;
    }
}

} // namespace

std::string FoldFilterText(std::string_view Text) {
    std::string folded(Text);
    FoldInPlace(folded.data(), folded.size());
    return folded;
}

bool RowHoldsFolded(std::string_view RowText, std::string_view Folded) {
    if (Folded.empty())
        return true;
    std::string row(RowText);
    return Holds(row, Folded);
}

std::vector<std::uint32_t> FilterRecords(const std::vector<std::uint32_t>& Candidates,
                                         std::string_view Folded, const TRowTextFn& RowText,
                                         std::size_t Jobs) {
    if (Folded.empty())
        return Candidates;
    const std::size_t n = Candidates.size();
    if (Jobs == 0)
        Jobs = std::max(1u, std::thread::hardware_concurrency());
    // A thread costs more than it saves on a short list.
    constexpr std::size_t kRowsPerJob = 16384;
    Jobs = std::clamp<std::size_t>(n / kRowsPerJob, 1, std::min<std::size_t>(Jobs, 16));
    std::vector<char> marks(n, 0);
    if (Jobs == 1) {
        MarkRange(Candidates, 0, n, Folded, RowText, marks);
    } else {
        std::vector<std::jthread> workers;
        const std::size_t step = (n + Jobs - 1) / Jobs;
        for (std::size_t begin = step; begin < n; begin += step)
            workers.emplace_back([&, begin] {
                MarkRange(Candidates, begin, std::min(n, begin + step), Folded, RowText, marks);
            });
        MarkRange(Candidates, 0, std::min(n, step), Folded, RowText, marks);
    } // the workers join here
    std::vector<std::uint32_t> kept;
    kept.reserve(static_cast<std::size_t>(std::count(marks.begin(), marks.end(), 1)));
    for (std::size_t i = 0; i < n; ++i)
        if (marks[i] != 0)
            kept.push_back(Candidates[i]);
    return kept;
}

} // namespace veltrane

#include "editing/ChangePreview.h"

#include "tagcore/TextEscape.h"

#include <unordered_set>

namespace veltrane {

TPreviewCounts CountPreview(const std::vector<TPreviewRow>& Rows) {
    TPreviewCounts counts;
    std::unordered_set<std::string> files;
    for (const TPreviewRow& row : Rows) {
        if (row.Field.empty()) {
            ++counts.Notes;
            continue;
        }
        ++counts.Changes;
        files.insert(row.File);
    }
    counts.Files = files.size();
    return counts;
}

std::string PreviewSummary(const TPreviewCounts& Counts) {
    const auto plural = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string text = plural(Counts.Changes, "change", "changes") + " in " +
                       plural(Counts.Files, "file", "files");
    if (Counts.Notes != 0)
        text += "; " + plural(Counts.Notes, "row", "rows") + " left out";
    return text;
}

std::string PreviewTsv(const std::vector<TPreviewRow>& Rows) {
    std::string text = "file\tfield\told\tnew\tnote\n";
    for (const TPreviewRow& row : Rows) {
        AppendEscapedBytes(text, row.File);
        for (const std::string* column : {&row.Field, &row.Old, &row.New, &row.Note}) {
            text += '\t';
            AppendEscapedBytes(text, *column);
        }
        text += '\n';
    }
    return text;
}

} // namespace veltrane

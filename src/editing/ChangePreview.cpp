#include "editing/ChangePreview.h"

#include "platform/Profile.h"
#include "tagcore/TextEscape.h"
#include "tagcore/UiText.h"

#include <algorithm>
#include <unordered_set>

namespace veltrane {

TPreviewCounts CountPreview(const std::vector<TPreviewRow>& Rows) {
    TPreviewCounts counts;
    std::unordered_set<std::string> files, unchanged;
    for (const TPreviewRow& row : Rows) {
        switch (row.State) {
        case TPreviewState::psUnchanged:
            unchanged.insert(row.File);
            continue;
        case TPreviewState::psFailed:
            ++counts.Failed;
            continue;
        case TPreviewState::psWarning:
            ++counts.Warnings;
            break;
        case TPreviewState::psChange:
            break;
        }
        if (row.Field.empty())
            continue;
        ++counts.Changes;
        files.insert(row.File);
    }
    counts.Files = files.size();
    counts.Unchanged = unchanged.size();
    return counts;
}

std::string PreviewSummary(const TPreviewCounts& Counts) {
    const auto plural = [](std::size_t n, const char* one, const char* many) {
        return FillText(UiText("ChangePreview", n == 1 ? one : many), {std::to_string(n)});
    };
    std::string text =
        FillText(UiText("ChangePreview", "%1 in %2"),
                 {plural(Counts.Changes, VT_TRANSLATE_NOOP("ChangePreview", "%1 change"),
                         VT_TRANSLATE_NOOP("ChangePreview", "%1 changes")),
                  plural(Counts.Files, VT_TRANSLATE_NOOP("ChangePreview", "%1 file"),
                         VT_TRANSLATE_NOOP("ChangePreview", "%1 files"))});
    if (Counts.Unchanged != 0)
        text +=
            "; " + plural(Counts.Unchanged, VT_TRANSLATE_NOOP("ChangePreview", "%1 file unchanged"),
                          VT_TRANSLATE_NOOP("ChangePreview", "%1 files unchanged"));
    if (Counts.Failed != 0)
        text += "; " + plural(Counts.Failed,
                              VT_TRANSLATE_NOOP("ChangePreview", "%1 row cannot be done"),
                              VT_TRANSLATE_NOOP("ChangePreview", "%1 rows cannot be done"));
    if (Counts.Warnings != 0)
        text += "; " + plural(Counts.Warnings,
                              VT_TRANSLATE_NOOP("ChangePreview", "%1 row with a warning"),
                              VT_TRANSLATE_NOOP("ChangePreview", "%1 rows with a warning"));
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

bool AnyFailed(const std::vector<TPreviewRow>& Rows) {
    return std::any_of(Rows.begin(), Rows.end(),
                       [](const TPreviewRow& row) { return row.State == TPreviewState::psFailed; });
}

void AddNote(std::string& Note, std::string_view Text) {
    if (!Note.empty())
        Note += "; ";
    Note += Text;
}

bool PreviewWanted(const std::string& SettingsFile, const char* Key) {
    if (SettingsFile.empty())
        return true;
    return platform::GetPrivateProfileInt(kPreviewSection, Key, 1, SettingsFile) != 0;
}

bool WritePreviewWanted(const std::string& SettingsFile, const char* Key, bool Show) {
    if (SettingsFile.empty())
        return true;
    return platform::WritePrivateProfileString(kPreviewSection, Key, Show ? "1" : "0", SettingsFile)
        .ok();
}

} // namespace veltrane

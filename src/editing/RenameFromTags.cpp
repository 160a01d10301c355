#include "editing/RenameFromTags.h"

#include "browser/ErrorText.h"

#include "editing/ChangeJournal.h"
#include "editing/JournaledSteps.h"
#include "editing/TagFromFileName.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/UiText.h"

#include <cerrno>
#include <sys/stat.h>
#include <unordered_set>

namespace veltrane {

namespace {

bool IsForbidden(char c) {
    switch (c) {
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
        return true;
    default:
        return false;
    }
}

bool HasMp3Extension(std::string_view Path) {
    if (Path.size() < 4)
        return false;
    std::string_view ext = Path.substr(Path.size() - 4);
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return ext[0] == '.' && upper(ext[1]) == 'M' && upper(ext[2]) == 'P' && ext[3] == '3';
}

bool Exists(const std::string& Path) {
    struct stat st;
    return ::lstat(Path.c_str(), &st) == 0;
}

} // namespace

std::string RenameThisFileError(int Code) {
    return FillText(UiText("RenameFromTags", "Hmmm, an error occurt renaming this file! (%1)"),
                    {std::to_string(Code)});
}

std::string RenameOneOfTheFilesError(int Code) {
    return FillText(
        UiText("RenameFromTags", "Hmmm, an error occurt renaming one of the files! (%1)"),
        {std::to_string(Code)});
}

std::string RemoveForbiddenChars(std::string_view Name) {
    std::string result;
    result.reserve(Name.size());
    for (char c : Name) {
        if (!IsForbidden(c))
            result += c;
    }
    return result;
}

std::string TrackForName(std::uint8_t Track) {
    if (Track == 0)
        return {};
    return Track < 10 ? "0" + std::to_string(Track) : std::to_string(Track);
}

std::optional<std::string> BuildNameFromTag(const TMP3Tag& Tag, const TDeriveFormat& Format) {
    const std::vector<std::string>& howTo = Format.HowTo();
    if (howTo.empty())
        return std::nullopt;
    std::string name;
    for (std::size_t k = 0; k < howTo.size(); ++k) {
        const char code = howTo[k].empty() ? '\0' : howTo[k].front();
        const std::string* field = TagFieldOf(Tag, code);
        const std::string value = field                ? RTrim(*field)
                                  : code == kTrackCode ? TrackForName(Tag.Track)
                                                       : std::string();
        if (value.empty())
            return std::nullopt;
        name += value;
        if (k + 1 < howTo.size())
            name += Format.Separator();
    }
    name = RemoveForbiddenChars(name);
    if (name.empty())
        return std::nullopt;
    return name;
}

std::string NameNotBuiltReason(const TMP3Tag& Tag, const TDeriveFormat& Format) {
    if (BuildNameFromTag(Tag, Format))
        return {};
    if (Format.HowTo().empty())
        return "the format names no field";
    if (Tag.Header != "TAG")
        return "the file has no tag";
    for (const std::string& item : Format.HowTo()) {
        const char code = item.empty() ? '\0' : item.front();
        const std::string* field = TagFieldOf(Tag, code);
        const bool empty = field ? RTrim(*field).empty() : code != kTrackCode || Tag.Track == 0;
        if (empty) {
            static const char* const names[] = {"title", "artist",  "album",
                                                "year",  "comment", "track"};
            const bool known = code >= '1' && code <= kTrackCode;
            return std::string("the tag has no ") + (known ? names[code - '1'] : "such field");
        }
    }
    return "the name would be empty";
}

std::string ForbiddenCharsIn(std::string_view Text) {
    std::string chars;
    for (char c : Text) {
        if (IsForbidden(c) && chars.find(c) == std::string::npos) {
            if (!chars.empty())
                chars += ' ';
            chars += c;
        }
    }
    return chars;
}

std::string DirectoryPart(std::string_view Path) {
    const std::size_t slash = Path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(Path.substr(0, slash + 1));
}

std::string RenameHeadlineMany(std::size_t Selected) {
    return FillText(UiText("RenameFromTags", "Rename %1 files"), {std::to_string(Selected)});
}

std::string RenameHeadlineOne(std::string_view Name) {
    return FillText(UiText("RenameFromTags", "Rename %1 to:"), {Name});
}

bool EmptyTypedName(std::string_view Typed) {
    // ".mp3" alone would give the same hidden name as nothing typed.
    return Typed.empty() || (Typed.size() == 4 && HasMp3Extension(Typed));
}

namespace {

// The checks of a typed name before anything is renamed; true when the rename may be tried.
bool CheckTypedName(const std::string& Path, std::string_view Typed, TRenameResult& Result) {
    if (EmptyTypedName(Typed)) {
        Result.NewPath = Path;
        Result.Code = EINVAL;
        Result.Message = UiText("RenameFromTags", kMsgEmptyName.data());
        return false;
    }
    Result.NewPath = DirectoryPart(Path) + std::string(Typed);
    if (!HasMp3Extension(Result.NewPath))
        Result.NewPath += ".mp3";
    // A NUL would cut the path short and reach another file.
    if (Typed.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        Result.Code = EINVAL;
        Result.Message = RenameThisFileError(Result.Code);
        return false;
    }
    if (Exists(Result.NewPath)) {
        Result.Status = TRenameResult::rsExists;
        Result.Message = UiText("RenameFromTags", kMsgFileExists.data());
        return false;
    }
    return true;
}

} // namespace

TPreviewRow PreviewRenameByTypedName(const std::string& Path, std::string_view Typed) {
    TRenameResult result;
    const bool ok = CheckTypedName(Path, Typed, result);
    TPreviewRow row{Path,
                    "name",
                    NameWithoutDirectory(Path),
                    result.NewPath.substr(DirectoryPart(Path).size()),
                    "",
                    ok ? TPreviewState::psChange : TPreviewState::psFailed};
    if (!ok)
        row.Note = result.Code == EINVAL && !EmptyTypedName(Typed) ? "a name cannot hold \"/\""
                                                                   : result.Message;
    return row;
}

TRenameResult RenameByTypedName(const std::string& Path, std::string_view Typed) {
    TRenameResult result;
    if (!CheckTypedName(Path, Typed, result))
        return result;
    try {
        result.Code = RunRenameStep({{Path, result.NewPath}}, [&](std::size_t) {
            return "rename " + NameWithoutDirectory(Path) + " to " +
                   NameWithoutDirectory(result.NewPath);
        }, nullptr).front();
    } catch (const EJournalError& e) {
        result.Message = std::string(kMsgNotRecorded) + e.what();
        return result;
    }
    if (result.Code == 0) {
        result.Status = TRenameResult::rsRenamed;
    } else if (result.Code == EEXIST) {
        // Someone created the target between the check and the rename.
        result.Status = TRenameResult::rsExists;
        result.Message = UiText("RenameFromTags", kMsgFileExists.data());
    } else {
        result.Message = RenameThisFileError(result.Code);
    }
    return result;
}

std::string RenameFromTagsDescription(std::size_t Files) {
    return "rename " + FileCount(Files) + " from tags";
}

std::vector<TRenameResult> RenameFromTags(const std::vector<std::string>& Paths,
                                          const TDeriveFormat& Format, const TagCodec& Codec,
                                          const ProgressScope* Progress) {
    std::vector<TRenameResult> results(Paths.size());
    std::vector<TRenameItem> items;
    std::vector<std::size_t> itemOf;
    // No file is renamed before every tag is read, so the reads may run ahead.
    TOrderedReader<TMP3Tag> reader(Paths.size(), 0,
                                   [&](std::size_t k) { return GetMP3Tag(Paths[k], Codec); });
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        TRenameResult& result = results[i];
        result.Status = TRenameResult::rsUnchanged;
        std::optional<std::string> name;
        try {
            name = BuildNameFromTag(reader.Next(), Format);
        } catch (const EInOutError& e) {
            result.Status = TRenameResult::rsFailed;
            result.Message = e.what();
            continue;
        }
        if (!name)
            continue;
        result.NewPath = DirectoryPart(Paths[i]) + *name + ".mp3";
        if (result.NewPath == Paths[i])
            continue;
        items.push_back({Paths[i], result.NewPath});
        itemOf.push_back(i);
    }
    if (items.empty())
        return results;
    std::vector<int> codes;
    try {
        codes = RunRenameStep(items, RenameFromTagsDescription, Progress);
    } catch (const EJournalError& e) {
        for (std::size_t i : itemOf) {
            results[i].Status = TRenameResult::rsFailed;
            results[i].Message = std::string(kMsgNotRecorded) + e.what();
        }
        return results;
    }
    for (std::size_t k = 0; k < items.size(); ++k) {
        TRenameResult& result = results[itemOf[k]];
        result.Code = codes[k];
        if (result.Code == 0) {
            result.Status = TRenameResult::rsRenamed;
        } else {
            result.Status =
                result.Code == EEXIST ? TRenameResult::rsExists : TRenameResult::rsFailed;
            result.Message = RenameOneOfTheFilesError(result.Code);
        }
    }
    return results;
}

std::vector<TPreviewRow> PreviewRenameFromTags(const std::vector<std::string>& Paths,
                                               const TDeriveFormat& Format, const TagCodec& Codec,
                                               const ProgressScope* Progress, std::size_t Jobs) {
    std::vector<TPreviewRow> rows;
    if (Format.HowTo().empty())
        return rows;
    // The renames run one after the other: a target is free when no file holds it at its turn.
    std::unordered_set<std::string> gone, made;
    const auto taken = [&](const std::string& Path) {
        return made.count(Path) != 0 || (gone.count(Path) == 0 && Exists(Path));
    };
    TOrderedReader<TMP3Tag> reader(Paths.size(), Jobs,
                                   [&](std::size_t k) { return GetMP3Tag(Paths[k], Codec); });
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        const std::string& path = Paths[i];
        const std::string oldName = NameWithoutDirectory(path);
        TPreviewRow row{path, "name", oldName, oldName, "", TPreviewState::psUnchanged};
        std::optional<std::string> name;
        TMP3Tag tag;
        try {
            tag = reader.Next();
            name = BuildNameFromTag(tag, Format);
        } catch (const EInOutError& e) {
            row.New.clear();
            row.Note = InOutErrorText(e);
            row.State = TPreviewState::psFailed;
        }
        if (row.State == TPreviewState::psFailed) {
            // The tag could not be read: the note says why.
        } else if (!name) {
            row.Note = NameNotBuiltReason(tag, Format);
        } else {
            row.New = *name + ".mp3";
            const std::string target = DirectoryPart(path) + row.New;
            std::string joined;
            for (const std::string& item : Format.HowTo())
                if (const std::string* field = TagFieldOf(tag, item.empty() ? '\0' : item.front()))
                    joined += *field;
            joined += Format.Separator();
            if (const std::string removed = ForbiddenCharsIn(joined); !removed.empty())
                row.Note = "removed " + removed + " (not allowed in a name)";
            if (target == path) {
                AddNote(row.Note, kNoteUnchanged);
            } else if (row.New.size() > kMaxNameBytes) {
                AddNote(row.Note,
                        "the name is longer than " + std::to_string(kMaxNameBytes) + " bytes");
                row.State = TPreviewState::psFailed;
            } else if (taken(target)) {
                AddNote(row.Note, made.count(target) ? "an earlier file of this run takes that name"
                                                     : "a file of that name exists");
                row.State = TPreviewState::psFailed;
            } else {
                row.State = TPreviewState::psChange;
                gone.insert(path);
                made.erase(path);
                made.insert(target);
            }
        }
        rows.push_back(std::move(row));
        if (Progress)
            Progress->SetPosition(i + 1);
    }
    return rows;
}

std::vector<TPreviewRow> RenamePreviewRun(const TFileList& List, const TDeriveFormat& Format,
                                          IProgress* Progress) {
    const std::vector<std::string> paths = SelectedFilePaths(List);
    ProgressScope progress(Progress, PreviewProgressCaption(paths.size()), paths.size());
    return PreviewRenameFromTags(paths, Format, List.Codec(), &progress, List.ReadJobs());
}

std::string RenameProgressCaption(std::size_t Selected) {
    return FillText(UiText("RenameFromTags", "Renaming %1 files, please wait..."),
                    {std::to_string(Selected)});
}

TRenameRun RenameFromTagsRun(const TFileList& List, const TDeriveFormat& Format,
                             IProgress* Progress) {
    TRenameRun run;
    if (Format.HowTo().empty())
        return run;
    const std::size_t selected = List.SelCount();
    ProgressScope progress(Progress, RenameProgressCaption(selected), selected);
    const std::vector<std::string> paths = SelectedFilePaths(List);
    const std::vector<TRenameResult> results =
        RenameFromTags(paths, Format, List.Codec(), &progress);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (results[i].Status == TRenameResult::rsRenamed)
            run.Renamed.push_back({paths[i], results[i].NewPath});
        else if (!results[i].Message.empty())
            // The next line names the target and says why, not just the number.
            run.Failures.push_back(
                {paths[i], WithFileError(results[i].Message, results[i].NewPath, results[i].Code)});
    }
    return run;
}

} // namespace veltrane

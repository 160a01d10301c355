#include "editing/TagTable.h"
#include "editing/SyncV2.h"

#include "browser/FileList.h"
#include "editing/CodePageCheck.h"
#include "editing/JournaledSteps.h"
#include "tagcore/InOutError.h"
#include "tagcore/LongPath.h"
#include "tagcore/OrderedReader.h"
#include "tagcore/TagFile.h"
#include "tagcore/TextEscape.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <unordered_map>

namespace veltrane {

namespace {

constexpr int kPath = 0, kTitle = 1, kArtist = 2, kAlbum = 3, kYear = 4, kGenre = 5,
              kComment = 6, kTrack = 7;
constexpr int kColumns = 8;

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = s[s.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

std::string GenreText(std::uint8_t Genre) {
    if (Genre == 255)
        return {};
    const std::string name = RTrim(ByteToStyle(Genre));
    return name.empty() ? std::to_string(Genre) : name;
}

// The column's text of a tag, not yet escaped or quoted.
std::string ColumnText(const TMP3Tag& Tag, int Column) {
    if (Column == kPath)
        return EscapeBytes(Tag.FileName);
    if (Tag.Header != "TAG")
        return {};
    switch (Column) {
    case kTitle: return Tag.Title;
    case kArtist: return Tag.Artist;
    case kAlbum: return Tag.Album;
    case kYear: return Tag.Year;
    case kGenre: return GenreText(Tag.Genre);
    case kComment: return Tag.Comment;
    default: return TrackText(Tag.Track);
    }
}

// The column's text as the table holds it: a tag text a spreadsheet would run as a formula
// is kept text (the path is absolute, so it never starts with a formula character).
std::string CellText(const TMP3Tag& Tag, int Column) {
    return Column == kPath ? ColumnText(Tag, Column) : GuardCell(ColumnText(Tag, Column));
}

void AppendCsvField(std::string& Out, std::string_view Text) {
    if (Text.find_first_of(",\"\r\n") == std::string_view::npos) {
        Out += Text;
        return;
    }
    Out += '"';
    for (const char c : Text) {
        if (c == '"')
            Out += '"';
        Out += c;
    }
    Out += '"';
}

std::string RowText(std::size_t Row, const std::string& Text) {
    return "row " + std::to_string(Row) + ": " + Text;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A genre as typed: a number 0 to 255, or a name with or without its blank, case ignored.
std::optional<std::uint8_t> ParseGenreText(const std::string& text) {
    if (text.empty())
        return 255;
    if (text.find_first_not_of("0123456789") == std::string::npos) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size() && value <= 255)
            return static_cast<std::uint8_t>(value);
        return std::nullopt;
    }
    std::uint8_t g = StyleToByte(text);
    if (g == 254)
        g = StyleToByte(text + " ");
    if (g == 254 || g == 255)
        return std::nullopt;
    return g;
}

std::string& TagField(TMP3Tag& Tag, int Column) {
    switch (Column) {
    case kTitle: return Tag.Title;
    case kArtist: return Tag.Artist;
    case kAlbum: return Tag.Album;
    case kYear: return Tag.Year;
    default: return Tag.Comment;
    }
}

const std::string& TagField(const TMP3Tag& Tag, int Column) {
    return TagField(const_cast<TMP3Tag&>(Tag), Column);
}

std::string Directory(const std::string& File) {
    const std::size_t slash = File.rfind('/');
    if (slash == std::string::npos)
        return std::filesystem::current_path().string();
    return slash == 0 ? "/" : File.substr(0, slash);
}

// One row's values, checked; what the import sets comes from them.
struct RowValues {
    std::size_t Row = 0;
    std::string Path;
    std::string Text[kColumns];
    std::uint8_t Genre = 255;
    std::uint8_t Track = 0;
};

} // namespace

TTableFormat TableFormatForName(std::string_view FileName) {
    return EndsWithNoCase(FileName, ".tsv") || EndsWithNoCase(FileName, ".tab")
               ? TTableFormat::Tsv
               : TTableFormat::Csv;
}

std::string TagTableHeader(TTableFormat Format, bool Audio) {
    std::string line;
    for (std::size_t i = 0; i < kTagTableColumns.size(); ++i) {
        if (i != 0)
            line += Format == TTableFormat::Csv ? ',' : '\t';
        line += kTagTableColumns[i];
    }
    for (std::size_t i = 0; Audio && i < kAudioColumns.size(); ++i) {
        line += Format == TTableFormat::Csv ? ',' : '\t';
        line += kAudioColumns[i];
    }
    line += Format == TTableFormat::Csv ? "\r\n" : "\n";
    return line;
}

void AppendTagTableRow(std::string& Out, const TMP3Tag& Tag, TTableFormat Format,
                       const TMpegAudio* Audio) {
    for (int column = 0; column < kColumns; ++column) {
        if (Format == TTableFormat::Csv) {
            if (column != 0)
                Out += ',';
            AppendCsvField(Out, CellText(Tag, column));
        } else {
            if (column != 0)
                Out += '\t';
            if (column == kPath)
                Out += ColumnText(Tag, column); // already escaped
            else
                AppendEscapedBytes(Out, CellText(Tag, column));
        }
    }
    if (Audio) {
        for (const std::string& text : AudioColumnTexts(*Audio)) {
            Out += Format == TTableFormat::Csv ? ',' : '\t';
            if (Format == TTableFormat::Csv)
                AppendCsvField(Out, text);
            else
                AppendEscapedBytes(Out, text);
        }
    }
    Out += Format == TTableFormat::Csv ? "\r\n" : "\n";
}

void SortLikeList(std::vector<std::string>& Paths, const std::string& Directory) {
    TFileList list;
    list.SetDirectory(Directory);
    TFileRowStore& rows = list.RowBuffer();
    for (std::string& path : Paths) {
        rows.AddFullPath(path);
        std::string().swap(path);
    }
    list.SortList();
    for (std::size_t i = 1; i < list.Count(); ++i)
        Paths[i - 1] = list.GetFileName(i);
}

bool WriteTagTable(const std::vector<std::string>& Paths, TTableFormat Format,
                   const TagCodec& Codec, std::size_t Jobs,
                   const std::function<void(std::string_view)>& Out,
                   const std::function<void(const std::string&, const std::string&)>& OnFailure,
                   const ProgressScope* Progress, bool Audio) {
    struct Read {
        TMP3Tag Tag;
        TMpegAudio Sound;
        std::string Error;
    };
    TOrderedReader<Read, TDirectoryCache> reader(
        Paths.size(), Jobs, [&](std::size_t i, TDirectoryCache& directories) {
            Read r;
            try {
                r.Tag = GetMP3Tag(Paths[i], Codec, nullptr, 0, &directories);
                if (Audio)
                    r.Sound = GetMpegAudio(Paths[i], r.Tag.Header == "TAG" ? 128 : 0, &directories);
            } catch (const EInOutError& e) {
                r.Error = e.what();
            }
            return r;
        });
    bool ok = true;
    std::string block;
    for (std::size_t i = 0; i < Paths.size(); ++i) {
        const Read r = reader.Next();
        if (r.Error.empty()) {
            AppendTagTableRow(block, r.Tag, Format, Audio ? &r.Sound : nullptr);
        } else {
            Out(block);
            block.clear();
            OnFailure(Paths[i], r.Error);
            ok = false;
        }
        if (block.size() >= 65536) {
            Out(block);
            block.clear();
        }
        if (Progress)
            Progress->SetPosition(i + 1);
    }
    Out(block);
    return ok;
}

TImportPlan PlanTagImport(std::string_view Text, TTableFormat Format, const std::string& BaseDir,
                          const TagCodec& Codec) {
    const std::vector<TTableRecord> records = ParseTable(Text, Format);
    if (records.empty())
        throw ETableSyntax(1, "no header line");
    if (records.size() == 1)
        throw ETableSyntax(2, "no rows below the header");

    // Column of the record for each table column, -1 when absent.
    int where[kColumns];
    std::fill(std::begin(where), std::end(where), -1);
    std::vector<std::string> unknown;
    const std::vector<std::string>& header = records[0].Fields;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = Lower(header[i]);
        const auto found = std::find(kTagTableColumns.begin(), kTagTableColumns.end(), name);
        if (found == kTagTableColumns.end()) {
            // An export's audio columns are facts about the file, not fields to set.
            if (std::find(kAudioColumns.begin(), kAudioColumns.end(), name) == kAudioColumns.end())
                unknown.push_back(header[i]);
            continue;
        }
        const int column = static_cast<int>(found - kTagTableColumns.begin());
        if (where[column] >= 0)
            throw std::invalid_argument("the column \"" + name + "\" is named twice");
        where[column] = static_cast<int>(i);
    }
    if (where[kPath] < 0)
        throw std::invalid_argument("the header has no \"path\" column");

    TImportPlan plan;
    if (!unknown.empty()) {
        std::string text = "unknown columns ignored:";
        for (const std::string& name : unknown)
            text += " " + EscapeBytes(name);
        plan.Warnings.push_back(text);
    }

    std::vector<std::pair<std::size_t, std::string>> bad; // row, text
    std::vector<RowValues> rows;
    std::unordered_map<std::string, std::size_t> firstRow;
    std::unordered_map<std::string, bool> twice;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const TTableRecord& record = records[r];
        const auto reject = [&](const std::string& text) { bad.emplace_back(record.Row, text); };
        if (record.Fields.size() != header.size()) {
            reject(std::to_string(record.Fields.size()) + " fields where the header has " +
                   std::to_string(header.size()));
            continue;
        }
        RowValues values;
        values.Row = record.Row;
        bool ok = true;
        for (int column = 0; column < kColumns && ok; ++column) {
            if (where[column] < 0)
                continue;
            const std::string& raw = record.Fields[static_cast<std::size_t>(where[column])];
            if (column == kPath || Format == TTableFormat::Tsv) {
                std::optional<std::string> text = UnescapeBytes(raw);
                if (!text) {
                    reject("the " + std::string(kTagTableColumns[column]) +
                           " has a backslash that starts no escape (write \\\\ for one)");
                    ok = false;
                    break;
                }
                values.Text[column] = std::move(*text);
            } else {
                values.Text[column] = raw;
            }
            if (column != kPath)
                values.Text[column] = RTrim(UnguardCell(values.Text[column]));
        }
        if (!ok)
            continue;
        std::string& path = values.Path;
        path = values.Text[kPath];
        if (path.empty()) {
            reject("the path is empty");
            continue;
        }
        if (path[0] != '/')
            path = BaseDir + (BaseDir.empty() || BaseDir.back() == '/' ? "" : "/") + path;
        // "LINK/../x.mp3" is the file the system reaches, as tag set writes it.
        path = SystemAbsolute(path);
        if (where[kYear] >= 0 && Codec.Encode(values.Text[kYear]).size() > 4) {
            reject("the year " + EscapeBytes(values.Text[kYear]) + " is longer than 4 bytes");
            continue;
        }
        if (where[kTrack] >= 0) {
            const std::optional<std::uint8_t> track = ParseTrack(values.Text[kTrack]);
            if (!track) {
                reject("the track " + EscapeBytes(values.Text[kTrack]) +
                       " is neither empty nor a number from 1 to 255");
                continue;
            }
            values.Track = *track;
        }
        if (where[kGenre] >= 0) {
            const std::optional<std::uint8_t> genre = ParseGenreText(values.Text[kGenre]);
            if (!genre) {
                reject("unknown genre " + EscapeBytes(values.Text[kGenre]));
                continue;
            }
            values.Genre = *genre;
        }
        const auto [it, first] = firstRow.emplace(path, values.Row);
        if (!first) {
            twice[path] = true;
            reject("the path " + EscapeBytes(path) + " is given twice (first in row " +
                   std::to_string(it->second) + ")");
            continue;
        }
        rows.push_back(std::move(values));
    }
    // A path given twice has no row that wins: its first row is left out too.
    for (const RowValues& values : rows)
        if (twice.count(values.Path))
            bad.emplace_back(values.Row, "the path " + EscapeBytes(values.Path) +
                                             " is given again in a later row");
    std::erase_if(rows, [&](const RowValues& v) { return twice.count(v.Path) != 0; });

    // Directories cached per worker, as tag show reads: most rows share a folder.
    // The state read here is the one the step records and writes over, so no file is read twice.
    TOrderedReader<TFileState, TDirectoryCache> reader(
        rows.size(), 0, [&](std::size_t i, TDirectoryCache& directories) {
            return ReadFileState(rows[i].Path, &directories);
        });
    // One file under two names (a link, a hard link) is refused in its later row, as the
    // step refuses it, so the dry run says what the run does.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> fileRow;
    for (const RowValues& values : rows) {
        TFileState state;
        try {
            state = reader.Next();
        } catch (const EInOutError& e) {
            bad.emplace_back(values.Row, EscapeBytes(values.Path) + ": " + e.what());
            continue;
        }
        const auto [named, firstName] =
            fileRow.emplace(std::make_pair(state.Device, state.Inode), values.Row);
        if (!firstName) {
            bad.emplace_back(values.Row, EscapeBytes(values.Path) + ": the file of row " +
                                             std::to_string(named->second) +
                                             " under another name; left as it is");
            continue;
        }
        TMP3Tag old = ParseTagBytes(state.Tail, Codec, &values.Path);
        old.FileName = values.Path;
        const bool tagged = old.Header == "TAG";
        TImportFile file{values.Path, old, {}, std::move(state)};
        for (int column = 1; column < kColumns; ++column) {
            if (where[column] < 0)
                continue;
            std::string before = tagged ? ColumnText(old, column) : std::string();
            std::string after = values.Text[column];
            if (column == kGenre) {
                after = GenreText(values.Genre);
                if (tagged ? old.Genre == values.Genre : values.Genre == 255)
                    continue;
                file.New.Genre = values.Genre;
            } else if (column == kTrack) {
                after = TrackText(values.Track);
                if ((tagged ? old.Track : 0) == values.Track)
                    continue;
                file.New.Track = values.Track;
            } else {
                if (before == after)
                    continue;
                TagField(file.New, column) = after;
            }
            std::string note;
            if (column != kGenre && column != kTrack)
                note = StoreNote(after, column == kYear ? 4 : 30, Codec);
            file.Fields.push_back(column);
            plan.Preview.push_back({values.Path, std::string(kTagTableColumns[column]),
                                    std::move(before), std::move(after), std::move(note),
                                    TPreviewState::psChange});
        }
        if (const TSyncV2* sync = ActiveSyncV2(); sync && sync->Enabled && !file.Fields.empty()) {
            TMP3Tag after = tagged ? old : TMP3Tag{};
            if (!tagged)
                ClearMP3Tag(after);
            for (const int column : file.Fields) {
                if (column == kGenre)
                    after.Genre = file.New.Genre;
                else if (column == kTrack)
                    after.Track = file.New.Track;
                else
                    TagField(after, column) = TagField(file.New, column);
            }
            for (TPreviewRow& row : V2PreviewRows(values.Path, old, after, Codec))
                plan.Preview.push_back(std::move(row));
        }
        if (!file.Fields.empty())
            plan.Files.push_back(std::move(file));
    }
    std::stable_sort(bad.begin(), bad.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [row, text] : bad) {
        plan.BadRows.push_back(RowText(row, text));
        plan.Preview.push_back({"", "", "", "", RowText(row, text), TPreviewState::psFailed});
    }
    return plan;
}

TImportPlan PlanTagImportFile(const std::string& TableFile, const TagCodec& Codec,
                              const TTableFormat* Format) {
    // Non-blocking, so a named pipe cannot hang the import; only regular files are read.
    const int fd = ::open(TableFile.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw EInOutError(IoErrorCodeFromErrno(errno));
    std::string text;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR
                                          : !S_ISREG(st.st_mode) ? EINVAL
                                                                 : 0;
    char buffer[65536];
    while (err == 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            err = errno;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (err == EINVAL)
        throw EInOutError(IoErrorCodeFromErrno(err), "not a regular file");
    if (err != 0)
        throw EInOutError(IoErrorCodeFromErrno(err));
    return PlanTagImport(text, Format ? *Format : TableFormatForName(TableFile),
                         Directory(TableFile), Codec);
}

std::string TagImportDescription(std::size_t Files) {
    return "import tags of " + FileCount(Files);
}

TFileFailures ApplyTagImport(const TImportPlan& Plan, const TagCodec& Codec,
                             const std::function<void(const TMP3Tag&)>& Written,
                             const ProgressScope* Progress) {
    if (Plan.Files.empty())
        return {};
    std::vector<TReadFile> files;
    files.reserve(Plan.Files.size());
    for (const TImportFile& file : Plan.Files)
        files.push_back({file.Path, file.Before});
    return RunReadTagStep(
        files, TagImportDescription,
        [&](std::size_t index, TMP3Tag& tag) {
            const TImportFile& file = Plan.Files[index];
            if (tag.Header != "TAG")
                ClearMP3Tag(tag);
            for (const int column : file.Fields) {
                if (column == kGenre)
                    tag.Genre = file.New.Genre;
                else if (column == kTrack)
                    tag.Track = file.New.Track;
                else
                    TagField(tag, column) = TagField(file.New, column);
            }
        },
        Codec, Written, Progress);
}

std::vector<std::string> ExportedPaths(const TFileList& List) {
    std::vector<std::string> paths = SelectedFilePaths(List);
    if (!paths.empty())
        return paths;
    for (std::size_t i = 1; i < List.Count(); ++i)
        if (IsFileRow(List, i))
            paths.push_back(List.GetFileName(i));
    return paths;
}

TFileFailures SaveTagTableFile(const std::string& OutFile, const std::vector<std::string>& Paths,
                               IProgress* Progress, const TagCodec& Codec) {
    ProgressScope progress(Progress, "Exporting " + FileCount(Paths.size()) + "...",
                           Paths.size());
    TFileFailures failures;
    std::string text = TagTableHeader(TTableFormat::Csv);
    WriteTagTable(
        Paths, TTableFormat::Csv, Codec, 0,
        [&](std::string_view block) { text += block; },
        [&](const std::string& path, const std::string& error) {
            failures.push_back({path, error});
        },
        &progress);
    const std::string temp = OutFile + ".veltrane-new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            const int err = errno;
            std::remove(temp.c_str());
            throw EInOutError(IoErrorCodeFromErrno(err ? err : EIO));
        }
    }
    if (std::rename(temp.c_str(), OutFile.c_str()) != 0) {
        const int err = errno;
        std::remove(temp.c_str());
        throw EInOutError(IoErrorCodeFromErrno(err));
    }
    return failures;
}

std::string TagImportProgressCaption(std::size_t Files) {
    return "Importing tags of " + FileCount(Files) + ", please wait...";
}

TFileFailures TagImportRun(TFileList& List, const TImportPlan& Plan, IProgress* Progress,
                           TRunNotes* Notes) {
    ProgressScope progress(Progress, TagImportProgressCaption(Plan.Files.size()),
                           Plan.Files.size());
    return ApplyTagImport(
        Plan, List.Codec(),
        [&](const TMP3Tag& tag) {
            if (Notes)
                Notes->NoteWritten(tag, List.Codec());
            List.SingleUpdate(tag);
        },
        &progress);
}

} // namespace veltrane

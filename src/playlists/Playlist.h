#pragma once
// The playlist: ordered entries (path bytes, each with its selected state), the name of the
// file last loaded or saved, and the changed flag that decides whether closing the editor asks
// to save. The editor's list control mirrors it; every operation here is one of the editor's.

#include "playlists/ExtM3U.h"
#include "playlists/M3UFile.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace veltrane {

class TExecFile;

enum TPlaylistLoadMode { plReplace, plAppend };

// The program's one pseudo-random generator, seeded once from the time of day.
std::mt19937_64& ProgramRandom();

class TPlaylist {
  public:
    // --- Entries.
    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const std::string& Get(std::size_t Index) const { return entries_.at(Index).Text; }
    std::vector<std::string> Entries() const;
    void Add(std::string Entry);
    void Insert(std::size_t Index, std::string Entry);
    void Delete(std::size_t Index);
    void Clear();
    bool Selected(std::size_t Index) const { return entries_.at(Index).Selected; }
    void SetSelected(std::size_t Index, bool Value) { entries_.at(Index).Selected = Value; }

    const std::string& FileName() const { return fileName_; }
    bool Changed() const { return changed_; }

    // --- Events of the changed flag.
    // The editor became visible: changed when there is something to save.
    void EditorShown() { changed_ = !entries_.empty(); }
    // The main window's playlist command: the selected files, in list order; flag untouched.
    void Fill(const std::vector<std::string>& Paths);
    // One file from the add dialog.
    void AddFile(std::string Path);

    // --- Files.
    // Reads Path, then replaces or appends; the file name becomes Path and the flag is set.
    // A failed read throws and changes nothing.
    void LoadIntoPlaylist(const std::string& Path, TPlaylistLoadMode Mode);
    // The editor's reload after a save: the file's lines replace the entries, the file name
    // becomes Path, the flag stays.
    void LoadPlayList(const std::string& Path);
    // Writes the entries to Path, each with the lines it was loaded with and, for an extended
    // playlist, its header and last lines; the playlist itself stays as it is.
    void Save(const std::string& Path, TPlaylistWriteMode Mode,
              const TPlaylistFileIo& Io = TPlaylistFileIo::System()) const;
    // The save dialog's "Extended" and "Relative paths": the entries written anew with those
    // options (fresh "#EXTINF" lines from the tags in place of the loaded ones).
    void Save(const std::string& Path, TPlaylistWriteMode Mode,
              const TPlaylistWriteOptions& Options,
              const TagCodec& Codec = TagCodec::Default()) const;
    // Whether the last file loaded was extended M3U.
    bool Extended() const { return document_.Extended; }

    // --- The editor's buttons.
    // Drops every selected entry; sets the flag (also with nothing selected) unless empty.
    void Remove();
    // Moves the current entry one up (the first wraps to the end) or down (the last wraps to
    // the top). Returns the entry's new position, the new current one; nothing without one.
    std::optional<std::size_t> Up(std::optional<std::size_t> Current);
    std::optional<std::size_t> Down(std::optional<std::size_t> Current);
    void Reverse();
    void Randomize(std::mt19937_64& Random = ProgramRandom());
    // Ascending by the user's locale, letter case ignored; equal entries keep their order.
    // Selection marks are cleared; the flag stays.
    void Sort();
    // Marks exactly the entries whose files are missing (PlaylistEntryExists); the flag stays.
    void Cleanup();
    // Starts the player with the playlist's file; the on-disk file is what it gets. Returns
    // false (nothing started) when the playlist has no file name yet.
    bool Launch(TExecFile& PlayFile, const std::string& PlayerCommand) const;

  private:
    struct TEntry {
        std::string Text;
        bool Selected = false;
        std::vector<std::string> Lines; // an extended playlist's lines before the entry
    };
    void AddDocument(TPlaylistDocument&& Document, bool Replace);
    std::vector<TEntry> entries_;
    TPlaylistDocument document_; // header and last lines of the file loaded; no items
    std::string fileName_;
    bool changed_ = false;
};

// The text compared by Sort: the entry in the user's locale's collation, lower case.
std::wstring PlaylistSortKey(const std::string& Entry);

} // namespace veltrane

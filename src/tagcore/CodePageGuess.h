#pragma once
// Which code page a tag's text is in. ID3v1 names none, so "auto" judges each file, strongest
// evidence first: ASCII reads the same everywhere; valid UTF-8 is UTF-8; an ID3v2 title or
// artist stored in UTF-16 or UTF-8 that holds the same text decides outright; then the text
// itself (uchardet's opinion and our scoring of letters, case and double-byte sequences);
// a file whose own evidence is weak takes the code page the other files of its folder show.

#include "tagcore/TagCodec.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrane {

// The raw text fields of a 128-byte tag (Title, Artist, Album, Year, Comment) as the tag
// reader cuts them: control bytes as blanks, trailing blanks removed. Empty when no tag.
std::vector<std::string> RawTagFields(std::string_view Tail);

struct TCodePageGuess {
    TCodePageId CodePage = 0; // 0: ASCII (or nothing to judge)
    bool Weak = false;        // too little evidence: the folder may overrule it
    double Score = 0;         // per character, for comparing guesses of one text
};

// Judges by the text alone.
TCodePageGuess GuessCodePage(const std::vector<std::string>& Fields);
// The score of the text in one code page (per character above ASCII; a byte that is no
// character costs much).
double CodePageScore(const std::vector<std::string>& Fields, const TagCodec& Codec);
// The code pages "auto" chooses among (besides UTF-8).
const std::vector<std::string>& AutoCandidates();

// What a file's ID3v2 tag says: title and artist, only from frames stored in UTF-16 or UTF-8.
struct TUnicodeTitles {
    std::string Title, Artist;
};
// File: the file Path open for reading, or -1.
using TId3v2Hint = std::function<std::optional<TUnicodeTitles>(const std::string& Path, int File)>;

// The ID3v2 evidence: the code page in which the raw fields read as the Unicode titles, or 0.
TCodePageId MatchUnicodeTitles(const std::vector<std::string>& Fields, const TUnicodeTitles& V2);

// Decides, file by file, for one run of reads. Safe to share between reading threads.
class TCodePageResolver {
  public:
    void SetId3v2Hint(TId3v2Hint Hint) { hint_ = std::move(Hint); }
    // The files this run names: a folder's files among them are "the folder". A folder the
    // run names no file of is its files named "*.mp3" on disk.
    void SetRunFiles(const std::vector<std::string>& Paths);
    // The same as a lookup: the run's files of a folder (ending in "/"), nothing for a folder
    // the run names no file of. Called from the reading threads, one call at a time.
    using TRunFolder = std::function<std::optional<std::vector<std::string>>(const std::string&)>;
    void SetRunFolder(TRunFolder Lookup);
    // The run is over: its files and per-file decisions are let go (a window keeps a row's
    // code page itself); the folders' opinions stay for later reads.
    void EndRun();
    // The code page of the file Path whose last 128 bytes are Tail; File: the file open for
    // reading (-1: the ID3v2 hint opens it).
    TCodePageId Decide(const std::string& Path, std::string_view Tail, int File = -1);
    // The code page Decide gave the file Path last (0: ASCII, no tag, or not decided here).
    TCodePageId Decided(const std::string& Path) const;
    // Whether Decide keeps its answers for Decided (on unless set): a list that keeps each
    // row's code page itself saves a path a file.
    void SetKeepDecided(bool On) { keepDecided_ = On; }
    // The file's own evidence, without its folder.
    TCodePageGuess Judge(const std::string& Path, const std::vector<std::string>& Fields,
                         int File = -1) const;

  private:
    // A file's own evidence before uchardet is asked. Unclear: uchardet would be asked, and
    // Guess.CodePage is the page the text reads best in when it is clear of the others (0
    // when not).
    struct TOwn {
        TCodePageGuess Guess;
        bool Unclear = false;
    };
    TOwn JudgeQuick(const std::string& Path, const std::vector<std::string>& Fields, int File) const;
    // Asking: the file whose reading needs the opinion.
    TCodePageId FolderOpinion(const std::string& Folder, const std::string& Asking);
    // The folder's opinion when it is formed already, 0 otherwise.
    TCodePageId KnownOpinion(const std::string& Folder) const;
    TCodePageId DecideOnce(const std::string& Path, std::string_view Tail, int File);
    // The file's own evidence: judged ahead by its folder's opinion, or judged now.
    TOwn OwnGuess(const std::string& Path, const std::vector<std::string>& Fields, int File);

    TId3v2Hint hint_;
    mutable std::mutex lock_;
    std::condition_variable folderJudged_;
    std::unordered_map<std::string, TCodePageId> decided_; // only files with a code page
    bool keepDecided_ = true;
    std::unordered_map<std::string, std::vector<std::string>> runFiles_;
    TRunFolder runFolder_;
    // -1 while a thread judges the folder.
    std::unordered_map<std::string, int> folders_;
    // Files a folder's opinion judged before they were read themselves: their fields then and
    // the guess, taken by the file's own reading.
    struct TJudged {
        std::vector<std::string> Fields;
        TOwn Own;
    };
    std::unordered_map<std::string, TJudged> judgedAhead_;
};

// The ANSI code page of a locale ("ru_RU.UTF-8" gives "WINDOWS-1251"), from the first set of
// LC_ALL, LC_CTYPE and LANG (each may be null).
std::string LocaleCodePage(const char* LcAll, const char* LcCtype, const char* Lang);
// The same for this process's environment.
std::string SystemCodePage();

// The code pages offered by name, in the order shown: {canonical name, caption}.
const std::vector<std::pair<std::string, std::string>>& NamedCodePages();
// "Cyrillic (Windows-1251)" for "WINDOWS-1251"; the name itself for one without a caption.
std::string CodePageCaption(std::string_view Name);

// For the window: when most tags above ASCII of a folder read far better in another code page
// than the fixed one, that code page's canonical name; "" otherwise. Fields: each file's raw
// text fields.
std::string FolderLooksLike(const std::vector<std::vector<std::string>>& Files,
                            const TagCodec& Fixed);

} // namespace veltrane

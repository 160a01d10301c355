#include "platform/Profile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace veltrane::platform {
namespace {

struct Line {
    std::string text; // without its line end
    std::string eol;  // "\n", "\r\n" or "" for a last line without one
};

struct Document {
    std::vector<Line> lines;
    std::string eol = "\n"; // line end for new lines: the file's own style
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

// Section name of a header line "[name]", or nullopt.
std::optional<std::string> SectionOf(const std::string& text) {
    std::string t = Trim(text);
    if (t.empty() || t[0] != '[')
        return std::nullopt;
    size_t close = t.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// Key and value of a "key=value" line; comments and lines without "=" are not keys.
bool KeyOf(const std::string& text, std::string& key, std::string& value) {
    std::string t = Trim(text);
    if (t.empty() || t[0] == ';' || t[0] == '[')
        return false;
    size_t eq = text.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(text.substr(0, eq));
    if (key.empty())
        return false;
    // Leading blanks after "=" belong to the layout; the rest is the value as written.
    size_t v = eq + 1;
    while (v < text.size() && IsBlank(text[v]))
        ++v;
    value = text.substr(v);
    return true;
}

void Parse(const std::string& bytes, Document& doc) {
    size_t pos = 0;
    bool styleSet = false;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        Line line;
        if (nl == std::string::npos) {
            line.text = bytes.substr(pos);
            pos = bytes.size();
        } else {
            line.text = bytes.substr(pos, nl - pos);
            line.eol = "\n";
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.eol = "\r\n";
            }
            if (!styleSet) {
                doc.eol = line.eol;
                styleSet = true;
            }
            pos = nl + 1;
        }
        doc.lines.push_back(std::move(line));
    }
}

// Reads the file; a missing file is an empty document, other failures an errno.
int Load(const std::string& file, Document& doc) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        int err = errno;
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0 && errno == ENOENT)
            return 0;
        return err ? err : EIO;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return EIO;
    Parse(bytes, doc);
    return 0;
}

int WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Writes through a temporary file beside the target and renames it over the target, so a
// failed write never leaves a half-written settings file. Falls back to rewriting in place
// when the directory takes no new files.
int Save(const std::string& file, const Document& doc) {
    std::string bytes;
    for (const Line& l : doc.lines)
        bytes += l.text + l.eol;

    std::string target = file;
    char resolved[PATH_MAX];
    struct stat st {};
    bool exists = ::lstat(file.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode) && ::realpath(file.c_str(), resolved)) {
        target = resolved;
        exists = ::stat(target.c_str(), &st) == 0;
    }
    if (!exists) {
        int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return errno;
        int err = WriteAll(fd, bytes);
        if (::close(fd) != 0 && !err)
            err = errno;
        if (err)
            ::unlink(target.c_str());
        return err;
    }

    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmpl = (slash == std::string::npos ? std::string() : dir) + "." + base + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        int err = WriteAll(fd, bytes);
        if (!err && ::fchmod(fd, st.st_mode & 07777) != 0)
            err = errno;
        if (!err && ::fsync(fd) != 0)
            err = errno;
        if (::close(fd) != 0 && !err)
            err = errno;
        if (!err && ::rename(name.data(), target.c_str()) != 0)
            err = errno;
        if (err)
            ::unlink(name.data());
        return err;
    }
    fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = WriteAll(fd, bytes);
    if (::close(fd) != 0 && !err)
        err = errno;
    return err;
}

// Index of the header line of section, or -1.
long FindSection(const Document& doc, const std::string& section) {
    for (size_t i = 0; i < doc.lines.size(); ++i) {
        auto name = SectionOf(doc.lines[i].text);
        if (name && SameName(*name, section))
            return static_cast<long>(i);
    }
    return -1;
}

// One past the last line of the section that starts at header.
size_t SectionEnd(const Document& doc, size_t header) {
    size_t i = header + 1;
    while (i < doc.lines.size() && !SectionOf(doc.lines[i].text))
        ++i;
    return i;
}

long FindKey(const Document& doc, size_t header, const std::string& key, std::string* value) {
    size_t end = SectionEnd(doc, header);
    for (size_t i = header + 1; i < end; ++i) {
        std::string k, v;
        if (KeyOf(doc.lines[i].text, k, v) && SameName(k, key)) {
            if (value)
                *value = v;
            return static_cast<long>(i);
        }
    }
    return -1;
}

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

std::string CommonProblem(const std::string& s) {
    if (s.find_first_of("\r\n") != std::string::npos)
        return "a line break";
    if (s.find('\0') != std::string::npos)
        return "a NUL byte";
    return "";
}

} // namespace

std::string ProfileKeyProblem(const std::string& key) {
    if (key.empty())
        return "an empty name";
    if (std::string p = CommonProblem(key); !p.empty())
        return p;
    if (key.find('=') != std::string::npos)
        return "\"=\"";
    if (IsBlank(key.front()))
        return "a leading blank";
    if (IsBlank(key.back()))
        return "a trailing blank";
    if (key.front() == ';' || key.front() == '[')
        return std::string("\"") + key.front() + "\" at its start";
    return "";
}

std::string ProfileValueProblem(const std::string& value) {
    if (std::string p = CommonProblem(value); !p.empty())
        return p;
    if (!value.empty() && IsBlank(value.front()))
        return "a leading blank";
    return "";
}

std::string ProfileSectionProblem(const std::string& section) {
    if (section.empty())
        return "an empty name";
    if (std::string p = CommonProblem(section); !p.empty())
        return p;
    if (section.find(']') != std::string::npos)
        return "\"]\"";
    if (IsBlank(section.front()))
        return "a leading blank";
    if (IsBlank(section.back()))
        return "a trailing blank";
    return "";
}

int ReadProfileFile(const std::string& file, std::vector<ProfileSection>& sections) {
    sections.clear();
    // Non-blocking, so a FIFO put in the file's place cannot hang the reader.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return EINVAL;
    }
    std::string bytes;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return err;
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    Document doc;
    Parse(bytes, doc);
    // As the single-key functions: only the first section of a name counts.
    ProfileSection* current = nullptr;
    for (const Line& l : doc.lines) {
        if (auto name = SectionOf(l.text)) {
            current = nullptr;
            bool seen = false;
            for (const ProfileSection& s : sections)
                seen = seen || SameName(s.name, *name);
            if (!seen) {
                sections.push_back({*name, {}});
                current = &sections.back();
            }
            continue;
        }
        std::string k, v;
        if (current && KeyOf(l.text, k, v))
            current->keys.emplace_back(std::move(k), std::move(v));
    }
    return 0;
}

ProfileStatus WriteProfileFile(const std::string& file, const std::vector<ProfileSection>& sections) {
    std::string bytes;
    for (const ProfileSection& s : sections) {
        if (!ProfileSectionProblem(s.name).empty())
            return {EINVAL};
        bytes += "[" + s.name + "]\n";
        for (const auto& [k, v] : s.keys) {
            if (!ProfileKeyProblem(k).empty() || !ProfileValueProblem(v).empty())
                return {EINVAL};
            bytes += k + "=" + v + "\n";
        }
    }
    const size_t slash = file.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : file.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    std::string tmpl = (slash == std::string::npos ? std::string() : dir) + "." + base + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        return {errno};
    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    int err = WriteAll(fd, bytes);
    if (!err && ::fchmod(fd, mode) != 0)
        err = errno;
    if (!err && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && !err)
        err = errno;
    if (!err && ::rename(tmpl.c_str(), file.c_str()) != 0)
        err = errno;
    if (err) {
        ::unlink(tmpl.c_str());
        return {err};
    }
    // The rename itself reaches the disk with the directory.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return {};
}

ProfileStatus EraseProfileSectionAndEmptyFile(const std::string& section, const std::string& file) {
    Document doc;
    if (int err = Load(file, doc))
        return {err};
    long header = FindSection(doc, section);
    if (header < 0)
        return {};
    size_t end = SectionEnd(doc, static_cast<size_t>(header));
    doc.lines.erase(doc.lines.begin() + header, doc.lines.begin() + static_cast<long>(end));
    for (const Line& l : doc.lines)
        if (!Trim(l.text).empty())
            return {Save(file, doc)};
    return {::unlink(file.c_str()) == 0 || errno == ENOENT ? 0 : errno};
}

std::optional<std::string> ReadProfileValue(const std::string& file, const std::string& section,
                                            const std::string& key) {
    Document doc;
    if (Load(file, doc) != 0)
        return std::nullopt;
    long header = FindSection(doc, section);
    if (header < 0)
        return std::nullopt;
    std::string value;
    if (FindKey(doc, static_cast<size_t>(header), key, &value) < 0)
        return std::nullopt;
    return value;
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& file) {
    return ReadProfileValue(file, section, key).value_or(fallback);
}

long long GetPrivateProfileInt(const std::string& section, const std::string& key,
                               long long fallback, const std::string& file) {
    auto value = ReadProfileValue(file, section, key);
    if (!value)
        return fallback;
    std::string t = Trim(*value);
    if (t.empty())
        return fallback;
    size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (i == t.size())
        return fallback;
    for (size_t j = i; j < t.size(); ++j)
        if (t[j] < '0' || t[j] > '9')
            return fallback;
    errno = 0;
    long long n = std::strtoll(t.c_str(), nullptr, 10);
    return errno == ERANGE ? fallback : n;
}

ProfileStatus WritePrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& value, const std::string& file) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        section.find(']') != std::string::npos || key.find('=') != std::string::npos ||
        Trim(key).empty() || Trim(key) != key || Trim(key)[0] == ';' || Trim(key)[0] == '[')
        return {EINVAL};
    Document doc;
    if (int err = Load(file, doc))
        return {err};
    std::string line = key + "=" + value;
    long header = FindSection(doc, section);
    if (header < 0) {
        if (!doc.lines.empty() && doc.lines.back().eol.empty())
            doc.lines.back().eol = doc.eol;
        doc.lines.push_back({"[" + section + "]", doc.eol});
        doc.lines.push_back({line, doc.eol});
        return {Save(file, doc)};
    }
    long at = FindKey(doc, static_cast<size_t>(header), key, nullptr);
    if (at >= 0) {
        doc.lines[static_cast<size_t>(at)].text = line;
        return {Save(file, doc)};
    }
    // New keys go after the section's last non-blank line, before blank separator lines.
    size_t end = SectionEnd(doc, static_cast<size_t>(header));
    size_t insert = end;
    while (insert > static_cast<size_t>(header) + 1 && Trim(doc.lines[insert - 1].text).empty())
        --insert;
    if (insert > 0 && doc.lines[insert - 1].eol.empty())
        doc.lines[insert - 1].eol = doc.eol;
    doc.lines.insert(doc.lines.begin() + static_cast<long>(insert), Line{line, doc.eol});
    return {Save(file, doc)};
}

ProfileStatus DeleteProfileKey(const std::string& section, const std::string& key,
                               const std::string& file) {
    Document doc;
    if (int err = Load(file, doc))
        return {err};
    long header = FindSection(doc, section);
    if (header < 0)
        return {};
    long at = FindKey(doc, static_cast<size_t>(header), key, nullptr);
    if (at < 0)
        return {};
    doc.lines.erase(doc.lines.begin() + at);
    return {Save(file, doc)};
}

ProfileStatus EraseProfileSection(const std::string& section, const std::string& file) {
    Document doc;
    if (int err = Load(file, doc))
        return {err};
    long header = FindSection(doc, section);
    if (header < 0)
        return {};
    size_t end = SectionEnd(doc, static_cast<size_t>(header));
    doc.lines.erase(doc.lines.begin() + header, doc.lines.begin() + static_cast<long>(end));
    return {Save(file, doc)};
}

std::vector<std::string> ProfileKeys(const std::string& section, const std::string& file) {
    std::vector<std::string> keys;
    Document doc;
    if (Load(file, doc) != 0)
        return keys;
    long header = FindSection(doc, section);
    if (header < 0)
        return keys;
    size_t end = SectionEnd(doc, static_cast<size_t>(header));
    for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
        std::string k, v;
        if (KeyOf(doc.lines[i].text, k, v))
            keys.push_back(k);
    }
    return keys;
}

std::vector<std::string> ProfileSections(const std::string& file) {
    std::vector<std::string> sections;
    Document doc;
    if (Load(file, doc) != 0)
        return sections;
    for (const Line& l : doc.lines)
        if (auto name = SectionOf(l.text))
            sections.push_back(*name);
    return sections;
}

} // namespace veltrane::platform

#include "platform/Associations.h"

#include <gio/gio.h>
#include <sys/stat.h>

namespace veltrane::platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsOwn(GAppInfo* info) {
    const char* id = g_app_info_get_id(info);
    const char* exe = g_app_info_get_executable(info);
    return IsVeltraneEntry(id ? id : "", exe ? exe : "");
}

std::string CommandOf(GAppInfo* info) {
    const char* exec = g_app_info_get_commandline(info);
    return exec ? RemoveFieldCodes(exec) : std::string();
}

bool Lists(GList* apps, GAppInfo* info) {
    for (GList* l = apps; l; l = l->next)
        if (g_app_info_equal(info, G_APP_INFO(l->data)))
            return true;
    return false;
}

std::string CommandForContentType(const char* contentType) {
    if (!contentType)
        return {};
    GList* exact = g_app_info_get_recommended_for_type(contentType);
    GList* parents = g_app_info_get_fallback_for_type(contentType);
    GAppInfo* chosen = nullptr;
    GAppInfo* preferred = g_app_info_get_default_for_type(contentType, FALSE);
    // An application that only takes a parent type is passed over: a playlist is a kind of
    // text to the MIME database, and a text editor is no player.
    if (preferred && !IsOwn(preferred) && (Lists(exact, preferred) || !Lists(parents, preferred)))
        chosen = preferred;
    // Veltrane names audio/mpeg in its desktop entry; when it is the default, the next
    // application for the type plays instead, never Veltrane itself.
    for (GList* l = exact; l && !chosen; l = l->next)
        if (!IsOwn(G_APP_INFO(l->data)))
            chosen = G_APP_INFO(l->data);
    std::string command = chosen ? CommandOf(chosen) : std::string();
    if (preferred)
        g_object_unref(preferred);
    g_list_free_full(exact, g_object_unref);
    g_list_free_full(parents, g_object_unref);
    return command;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {};
    struct stat y {};
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

} // namespace

bool IsVeltraneEntry(const std::string& DesktopId, const std::string& Executable) {
    if (DesktopId.rfind("org.veltrane.", 0) == 0)
        return true;
    const std::size_t slash = Executable.rfind('/');
    const std::string base = slash == std::string::npos ? Executable : Executable.substr(slash + 1);
    if (base == "veltrane")
        return true;
    if (Executable.empty())
        return false;
    std::string path = Executable;
    if (slash == std::string::npos) {
        gchar* found = g_find_program_in_path(Executable.c_str());
        if (!found)
            return false;
        path = found;
        g_free(found);
    }
    return SameFile(path, "/proc/self/exe");
}

std::string RemoveFieldCodes(const std::string& exec) {
    std::string out;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%' || i + 1 >= exec.size()) {
            out += exec[i];
            continue;
        }
        char code = exec[++i];
        if (code == '%')
            out += '%';
        // Every other code expands to file names, icons or names we do not pass.
    }
    // Drop what the removed codes leave behind: empty quotes and doubled or trailing blanks.
    std::string clean;
    for (size_t i = 0; i < out.size(); ++i) {
        if ((out[i] == '"' || out[i] == '\'') && i + 1 < out.size() && out[i + 1] == out[i] &&
            (i == 0 || IsBlank(out[i - 1])) && (i + 2 >= out.size() || IsBlank(out[i + 2]))) {
            ++i;
            continue;
        }
        clean += out[i];
    }
    std::string result;
    for (char c : clean) {
        if (IsBlank(c) && (result.empty() || IsBlank(result.back())))
            continue;
        result += c;
    }
    while (!result.empty() && IsBlank(result.back()))
        result.pop_back();
    return result;
}

std::string GioAssociations::CommandForExtension(const std::string& extension) {
    std::string name = "file" + extension;
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(name.c_str(), nullptr, 0, &uncertain);
    std::string command;
    // An unknown extension guesses as a generic type whose default app is no player.
    if (type && !g_content_type_is_unknown(type))
        command = CommandForContentType(type);
    g_free(type);
    return command;
}

std::string GioAssociations::CommandForDocument(const std::string& path) {
    GFile* file = g_file_new_for_path(path.c_str());
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    std::string command;
    if (info) {
        command = CommandForContentType(g_file_info_get_content_type(info));
        g_object_unref(info);
    }
    g_object_unref(file);
    return command;
}

} // namespace veltrane::platform

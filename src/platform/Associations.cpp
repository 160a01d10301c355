#include "platform/Associations.h"

#include <gio/gio.h>

namespace veltrane::platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string CommandForContentType(const char* contentType) {
    if (!contentType)
        return {};
    GAppInfo* info = g_app_info_get_default_for_type(contentType, FALSE);
    if (!info)
        return {};
    std::string command;
    if (const char* exec = g_app_info_get_commandline(info))
        command = RemoveFieldCodes(exec);
    g_object_unref(info);
    return command;
}

} // namespace

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

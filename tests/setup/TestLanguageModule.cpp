// A language module built only for the tests: block 0 is "Deutsch" with a few texts, block 1
// "Français" with none.

#include <map>

extern "C" const char* TSLoadString(int Id) {
    static const std::map<int, const char*> Strings = {
        {0, "Deutsch"}, {8, "&Zurück"}, {9, "&Weiter"}, {11, "&Abbrechen"}, {1000, "Français"},
    };
    auto It = Strings.find(Id);
    return It == Strings.end() ? nullptr : It->second;
}

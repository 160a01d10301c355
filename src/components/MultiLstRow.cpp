#include "components/MultiLstRow.h"

namespace veltrane {

int MultiListMarker(char First) {
    if (First >= '0' && First <= '9')
        return First - '0';
    switch (First) {
    case '*':
        return 10;
    case '!':
        return 11;
    case '@':
        return 12;
    case '#':
        return 13;
    case '$':
        return 14;
    case '%':
        return 15;
    case '~':
        return -2;
    default:
        return -1;
    }
}

TMultiListRow SplitMultiListItem(std::string_view Item, char Separator) {
    TMultiListRow row;
    if (!Item.empty()) {
        const int marker = MultiListMarker(Item.front());
        if (marker != -1) {
            Item.remove_prefix(1);
            row.Bitmap = marker >= 0 ? marker : -1;
        }
    }
    std::size_t start = 0;
    while (row.Columns.size() < kMultiListMaxColumns) {
        const std::size_t end = Item.find(Separator, start);
        if (end == std::string_view::npos)
            break;
        row.Columns.push_back(Item.substr(start, end - start));
        start = end + 1;
    }
    return row;
}

} // namespace veltrane

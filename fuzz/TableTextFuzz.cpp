// libFuzzer target: the CSV and TSV readers read or refuse any bytes; what they read keeps
// every record's row inside the text's lines; a guarded cell reads back as it was.

#include "editing/TableText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto format : {veltrane::TTableFormat::Csv, veltrane::TTableFormat::Tsv}) {
        try {
            std::size_t last = 0;
            for (const veltrane::TTableRecord& r : veltrane::ParseTable(text, format)) {
                if (r.Row <= last || r.Fields.empty())
                    std::abort();
                last = r.Row;
                for (const std::string& cell : r.Fields)
                    if (veltrane::UnguardCell(veltrane::GuardCell(cell)) != cell)
                        std::abort();
            }
        } catch (const veltrane::ETableSyntax& e) {
            if (e.Row() == 0 || e.Row() > size + 2)
                std::abort();
        }
    }
    return 0;
}

// Writes the bash completion from its template, with the genre names of the program's own
// table in place of @GENRES@, so the completion never offers a name the program refuses.

#include "tagcore/MP3Tag.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: MakeCompletion TEMPLATE OUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (!in.eof() && !in) {
        std::cerr << "MakeCompletion: cannot read " << argv[1] << '\n';
        return 1;
    }
    // One name a line, so that names with blanks stay whole; none holds a quote.
    std::string genres;
    for (const std::string& entry : veltrane::GenreTable()) {
        if (entry.empty())
            continue;
        genres += entry.substr(0, entry.size() - 1); // the table's trailing blank
        genres += '\n';
    }
    const std::string marker = "@GENRES@";
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) {
        std::cerr << "MakeCompletion: no " << marker << " in " << argv[1] << '\n';
        return 1;
    }
    text.replace(at, marker.size(), genres);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "MakeCompletion: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
